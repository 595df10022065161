#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Collator;
U_NAMESPACE_END

namespace platform {

// The file manager's way of ordering names for people: case-insensitive,
// runs of digits compared by their value ("App 2" before "App 10"), accents
// still counted, in the user's collation locale (LC_ALL, then LC_COLLATE,
// then LANG). Names that differ only in case are then put in a fixed order
// (case, then bytes), so only identical names compare equal and a sort never
// depends on where the names started.
//
// Making one is costly (ICU loads the locale's rules); keep it for a whole sort.
class LocalizedStandardComparator {
public:
    LocalizedStandardComparator();
    // For a given ICU locale identifier.
    explicit LocalizedStandardComparator(const std::string& localeIdentifier);
    ~LocalizedStandardComparator();

    LocalizedStandardComparator(LocalizedStandardComparator&&) noexcept;
    LocalizedStandardComparator& operator=(LocalizedStandardComparator&&) noexcept;

    // The locale the environment names right now for collation.
    static std::string collationLocaleIdentifier();

    // Negative, zero or positive as `left` sorts before, with or after `right`.
    int compare(std::string_view left, std::string_view right) const;

private:
    std::unique_ptr<icu::Collator> primary_;
    std::unique_ptr<icu::Collator> tieBreak_;
};

} // namespace platform
