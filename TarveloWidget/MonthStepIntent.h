#pragma once

#include "Platform/Intents/AppIntent.h"
#include "Platform/Intents/IntentParameter.h"

#include <cstdint>
#include <string>

namespace tarvelo {

// The widget's one action: step the shown month by `delta` months. The back
// chevron carries -1, the forward chevron +1. Runs in the extension's process
// without opening the application.
class MonthStepIntent final : public platform::AppIntent {
public:
    static constexpr const char* typeName = "MonthStepIntent";
    // "Step Month", translated where a translation exists; made once.
    static const std::string& title();

    MonthStepIntent();
    explicit MonthStepIntent(std::int64_t delta);

    std::int64_t delta() const { return _delta.wrappedValue(); }
    const platform::IntentParameter<std::int64_t>& deltaParameter() const { return _delta; }

    // Steps the shared month offset store by `delta`, stamped with the time of the run.
    platform::IntentResult perform() override;

    platform::IntentReference reference() const override;
    // Takes "delta" from a reference's parameters; a missing or non-integer
    // value leaves the delta at 0.
    void restoreParameters(const nlohmann::json& parameters);

private:
    platform::IntentParameter<std::int64_t> _delta;
};

} // namespace tarvelo
