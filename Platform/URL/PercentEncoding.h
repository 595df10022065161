#pragma once

#include <string>
#include <string_view>

namespace platform {

// "%XX" escapes of URL text.
namespace PercentEncoding {

// The value of a hexadecimal digit, or -1.
int hexValue(char c);

// Every well-formed "%XX" turned into its byte (which may be a NUL); anything
// else, including a stray "%", is kept as written.
std::string decoded(std::string_view text);

} // namespace PercentEncoding

} // namespace platform
