#include "TarveloWidget/MonthStepIntent.h"

#include "Platform/Localization/Localization.h"
#include "TarveloFeature/MonthModel/MonthOffsetStore.h"

namespace tarvelo {

namespace {

platform::IntentParameter<std::int64_t>::Settings deltaSettings() {
    platform::IntentParameter<std::int64_t>::Settings settings;
    settings.title = "Delta";
    settings.controlStyle = platform::IntControlStyle::stepper;
    return settings;
}

} // namespace

const std::string& MonthStepIntent::title() {
    static const std::string localized = platform::localized("Step Month");
    return localized;
}

MonthStepIntent::MonthStepIntent()
    : _delta(deltaSettings()) {}

MonthStepIntent::MonthStepIntent(std::int64_t delta)
    : MonthStepIntent() {
    _delta.setWrappedValue(delta);
}

platform::IntentResult MonthStepIntent::perform() {
    MonthOffsetStore& store = MonthOffsetStore::shared();
    const std::int64_t by = delta();
    store.step(by, platform::Instant::now());
    if (!store.isStored())
        return platform::IntentResult::notKept(
            "the step could not be stored; the month is kept in memory only");
    return platform::IntentResult::result();
}

platform::IntentReference MonthStepIntent::reference() const {
    return platform::IntentReference{typeName, {{"delta", delta()}}};
}

void MonthStepIntent::restoreParameters(const nlohmann::json& parameters) {
    std::int64_t value = 0;
    if (parameters.is_object()) {
        const auto found = parameters.find("delta");
        if (found != parameters.end() && found->is_number_integer() && !found->is_number_unsigned())
            value = found->get<std::int64_t>();
        else if (found != parameters.end() && found->is_number_unsigned() &&
                 found->get<std::uint64_t>() <= static_cast<std::uint64_t>(INT64_MAX))
            value = static_cast<std::int64_t>(found->get<std::uint64_t>());
    }
    _delta.setWrappedValue(value);
}

} // namespace tarvelo
