#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvelo::fuzzing {

// A second, deliberately separate reading of date links, written from the
// rules rather than from the product code: the fuzzer checks that both agree
// on every input. It shares no code with Platform/URL or DateLink.cpp, and it
// decides numbers by the grammar of the C library's strtod in the "C" locale
// instead of by calling it.
namespace DateLinkOracle {

// Whether `text` is a URL the desktop could hand over: a scheme (a letter,
// then letters, digits, "+", "-", "."), a ":", then printable ASCII without
// spaces, every "%" starting a two-digit hexadecimal escape.
bool isWellFormedURL(std::string_view text);

// The value of the first query item named "t" of a "tarvelo://date" link
// (percent-decoded); absent when the link is not one, has no query, no "t"
// item, or the first "t" item was written without "=".
std::optional<std::string> dateValue(std::string_view link);

// Whether all of `value` is one number in strtod's "C" locale syntax:
// [+-] then "inf", "infinity", "nan", "nan(" [A-Za-z0-9_]* ")" (any case),
// or decimal digits with an optional "." and e-exponent, or "0x"/"0X" and
// hexadecimal digits with an optional "." and p-exponent. No white space.
bool isNumber(std::string_view value);

// Whether handling `link` should launch the calendar application.
bool acceptsLink(std::string_view link);

} // namespace DateLinkOracle

} // namespace tarvelo::fuzzing
