#include "Platform/Text/LocalizedStandardComparator.h"

#include "Platform/Calendar/UserLocale.h"

#include <cstdlib>
#include <unicode/coll.h>
#include <unicode/stringpiece.h>

namespace platform {

namespace {

std::unique_ptr<icu::Collator> makeCollator(const std::string& localeIdentifier,
                                            icu::Collator::ECollationStrength strength) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(icu::Locale::createCanonical(localeIdentifier.c_str()), status));
    if (U_FAILURE(status) || !collator) {
        status = U_ZERO_ERROR;
        collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            return nullptr;
    }
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    collator->setStrength(strength);
    return U_SUCCESS(status) ? std::move(collator) : nullptr;
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

LocalizedStandardComparator::LocalizedStandardComparator()
    : LocalizedStandardComparator(collationLocaleIdentifier()) {}

LocalizedStandardComparator::LocalizedStandardComparator(const std::string& localeIdentifier)
    : primary_(makeCollator(localeIdentifier, icu::Collator::SECONDARY))
    , tieBreak_(makeCollator(localeIdentifier, icu::Collator::TERTIARY)) {}

LocalizedStandardComparator::~LocalizedStandardComparator() = default;
LocalizedStandardComparator::LocalizedStandardComparator(LocalizedStandardComparator&&) noexcept = default;
LocalizedStandardComparator&
LocalizedStandardComparator::operator=(LocalizedStandardComparator&&) noexcept = default;

std::string LocalizedStandardComparator::collationLocaleIdentifier() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"})
        if (const char* value = std::getenv(name); value && *value)
            return UserLocale::fromPosix(value);
    return UserLocale::fromPosix("");
}

int LocalizedStandardComparator::compare(std::string_view left, std::string_view right) const {
    for (const auto* collator : {primary_.get(), tieBreak_.get()}) {
        if (!collator)
            continue;
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult result =
            collator->compareUTF8(icu::StringPiece(left.data(), static_cast<int32_t>(left.size())),
                                  icu::StringPiece(right.data(), static_cast<int32_t>(right.size())), status);
        if (U_SUCCESS(status) && result != UCOL_EQUAL)
            return result;
    }
    return sign(left.compare(right));
}

} // namespace platform
