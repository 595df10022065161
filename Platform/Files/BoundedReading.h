#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Arrays and objects nested deeper than this make a JSON file or protocol
// line unreadable. Our files and messages nest a handful of levels. JSON
// parsers cope with any depth, but copying, comparing and printing a value
// recurse once per level, and a few hundred thousand brackets would exhaust
// the stack of whichever program reads them.
constexpr std::size_t deepestJSONNesting = 64;

// Whether brackets outside strings nest deeper than `deepest`. Not a JSON
// check: the parser does that afterwards.
bool jsonNestsDeeperThan(std::string_view text, std::size_t deepest = deepestJSONNesting);

// A small file read whole, through any symbolic links, never more than a
// given size and never blocking (a FIFO reads as not a file).
struct BoundedRead {
    enum class Outcome {
        read,     // `text` holds the file
        missing,  // nothing there (or a link that leads nowhere)
        notAFile, // a folder, FIFO, device or socket
        tooLarge, // larger than allowed
        failed,   // could not be opened or read: `error` says why
    };
    Outcome outcome = Outcome::missing;
    std::string text;
    int error = 0;
};

BoundedRead readBoundedFile(const std::filesystem::path& file, std::size_t largest);

} // namespace platform
