#pragma once

#include "Platform/Intents/AppIntent.h"

#include <optional>
#include <string>

namespace platform {

// One declared parameter of an intent: its settings, as the intent declares
// them, and its current value.
template <typename Value> class IntentParameter {
public:
    struct Settings {
        std::string title;
        std::optional<std::string> description;
        std::optional<Value> defaultValue;
        IntControlStyle controlStyle = IntControlStyle::field;
        InputConnectionBehavior inputConnectionBehavior = InputConnectionBehavior::standard;
    };

    explicit IntentParameter(Settings settings)
        : settings_(std::move(settings))
        , value_(settings_.defaultValue.value_or(Value{})) {}

    const Settings& settings() const { return settings_; }
    const Value& wrappedValue() const { return value_; }
    void setWrappedValue(Value value) { value_ = std::move(value); }

private:
    Settings settings_;
    Value value_;
};

} // namespace platform
