#pragma once

#include "tests/Support/Files.h"
#include "tests/Support/TemporaryFolder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace tarvelo::fuzzing {

using testsupport::keptAside;
using testsupport::readFile;
using testsupport::writeFile;

// libFuzzer's input as text.
inline std::string_view textOf(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A scratch folder for the whole run, in memory (/dev/shm) where there is
// one: fuzz targets that write files do it hundreds of thousands of times,
// and fsync on a disk would make them a hundred times slower. Removed when
// the process exits normally.
inline const std::filesystem::path& memoryBackedFolder() {
    static const auto folder = [] {
        if (!std::getenv("TMPDIR") && ::access("/dev/shm", W_OK) == 0)
            ::setenv("TMPDIR", "/dev/shm", 1);
        return std::make_unique<testsupport::TemporaryFolder>();
    }();
    return folder->path();
}

// Says what went wrong, with the first 300 bytes of `detail` (escaped), and
// aborts, so libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "%s: %s: \"", program_invocation_short_name, what);
    for (unsigned char c : detail.substr(0, 300))
        std::fprintf(stderr, c >= 0x20 && c < 0x7F && c != '"' && c != '\\' ? "%c" : "\\x%02x", c);
    std::fprintf(stderr, "\"\n");
    std::abort();
}

// The lines of `input`; the last one may lack its newline.
inline std::vector<std::string_view> linesOf(std::string_view input) {
    std::vector<std::string_view> lines;
    while (!input.empty()) {
        const auto newline = input.find('\n');
        lines.push_back(input.substr(0, newline));
        if (newline == std::string_view::npos)
            break;
        input.remove_prefix(newline + 1);
    }
    return lines;
}

} // namespace tarvelo::fuzzing
