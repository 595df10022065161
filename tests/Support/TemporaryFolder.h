#pragma once

#include "tests/Support/Files.h"

#include <cstdlib>

namespace tarvelo::testsupport {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tarvelo-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? std::filesystem::path(pattern) : std::filesystem::path();
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes `text` to `relative` below the folder, making folders on the way.
    std::filesystem::path write(const std::filesystem::path& relative, const std::string& text) const {
        return writeFile(path_ / relative, text);
    }

private:
    std::filesystem::path path_;
};

} // namespace tarvelo::testsupport
