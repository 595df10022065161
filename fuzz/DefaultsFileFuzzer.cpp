// Whatever lies in a domain's defaults file (written by an older or newer
// version, truncated, binary, someone else's) must not crash the reader or
// lose the user's data. For every input, written as the domain's file, this
// reads keys of every type, writes one, and checks that
//
//  - the new file is ours and holds the written key;
//  - either the old file was kept aside byte for byte, or it was ours (or
//    empty) and every value it held is still there;
//  - writing the same values again leaves the file byte for byte as it was.
#include "Platform/Defaults/UserDefaults.h"
#include "fuzz/FuzzSupport.h"

#include <nlohmann/json.hpp>

namespace {

using namespace tarvelo::fuzzing;

constexpr const char* domain = "fuzz.domain";
constexpr const char* writtenKey = "fuzz.written";

// The values of a file in our format, read here without the product's code
// paths; absent for anything else.
std::optional<nlohmann::json> valuesOf(std::string_view text) {
    auto document = nlohmann::json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (!document.is_object() || !document.contains("tarvelo-defaults") || !document.contains("values") ||
        !document["values"].is_object())
        return std::nullopt;
    return document["values"];
}

void readEveryType(platform::UserDefaults& defaults) {
    for (const char* key :
         {"Tarvelo.visibleMonthOffset", "Tarvelo.stepCount", "Tarvelo.lastStepAt", "Tarvelo.resetCount",
          "calendarAppBundleIdentifier", "calendarAppDisplayName", "", "a"}) {
        (void)defaults.integer(key);
        (void)defaults.doubleValue(key);
        (void)defaults.boolean(key);
        (void)defaults.string(key);
        (void)defaults.date(key);
        (void)defaults.object(key);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static tarvelo::testsupport::TemporaryFolder folder;
    const std::string input(textOf(data, size));
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        std::filesystem::remove(entry.path());
    const auto file = folder.write(std::string(domain) + ".json", input);

    {
        platform::UserDefaults defaults(domain, folder.path());
        readEveryType(defaults);
        defaults.setInteger(42, writtenKey);
        readEveryType(defaults);
    }

    const auto written = valuesOf(readFile(file));
    if (!written || written->value(writtenKey, nlohmann::json()) != nlohmann::json{{"integer", 42}})
        fail("the written file is not ours or lacks the written key");

    const auto kept = keptAside(folder.path());
    if (kept.size() > 1)
        fail("the old file was kept aside more than once");
    if (kept.size() == 1) {
        if (readFile(kept.front()) != input)
            fail("the file kept aside differs from the old file");
    } else if (!input.empty()) {
        const auto old = valuesOf(input);
        if (!old)
            fail("an unreadable file was replaced without being kept aside");
        for (const auto& [key, value] : old->items())
            if (key != writtenKey && written->value(key, nlohmann::json()) != value)
                fail("a value of the old file was lost");
    }

    platform::UserDefaults reread(domain, folder.path());
    if (reread.integer(writtenKey) != 42)
        fail("the written key does not read back");
    // Entries go back byte for byte: writing the same value again changes nothing.
    const std::string before = readFile(file);
    reread.setInteger(42, writtenKey);
    if (readFile(file) != before)
        fail("a rewrite with the same values changed the file");
    return 0;
}
