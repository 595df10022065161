#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace platform {

// The result of an intent run: no value, no dialog, no view; only, when the
// intent ran but could not keep its effect (a setting that could not be
// stored), why.
struct IntentResult {
    static IntentResult result() { return {}; }
    static IntentResult notKept(std::string why) { return {std::move(why)}; }

    std::optional<std::string> problem;
};

// How a parameter asks for its value where a system shows intents.
enum class IntControlStyle { field, slider, stepper };

// Whether a parameter takes the result of a previous intent as its input.
enum class InputConnectionBehavior { standard, connectToPreviousIntentResult };

// What a button carries of its intent, and all the widget host needs to
// rebuild it later: the intent's type name and its parameter values.
struct IntentReference {
    std::string type;
    nlohmann::json parameters = nlohmann::json::object();
    bool operator==(const IntentReference&) const = default;
};

// The contract of an action that runs inside the widget extension's process
// when a widget button is clicked. A concrete intent also offers, for the
// registry that rebuilds it:
//   static constexpr const char* typeName;       the name its references carry
//   static const std::string& title();           its name where intents are listed
//   default construction                         (all parameters at their defaults)
//   void restoreParameters(const nlohmann::json&) (from a reference's parameters)
class AppIntent {
public:
    virtual ~AppIntent() = default;

    // Runs the intent. Called on a worker thread; must not throw.
    virtual IntentResult perform() = 0;

    // The intent in the form a button stores it.
    virtual IntentReference reference() const = 0;
};

} // namespace platform
