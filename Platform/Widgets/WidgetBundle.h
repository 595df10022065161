#pragma once

#include "Platform/Intents/AppIntent.h"
#include "Platform/Widgets/WidgetConfiguration.h"

#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace platform {

// How the runner rebuilds one intent type from a button's reference.
struct IntentType {
    std::string typeName;
    std::function<std::unique_ptr<AppIntent>(const nlohmann::json& parameters)> make;
};

// The IntentType of a concrete intent (see AppIntent for what it offers).
template <typename Intent> IntentType intentType() {
    return IntentType{Intent::typeName, [](const nlohmann::json& parameters) -> std::unique_ptr<AppIntent> {
                          auto intent = std::make_unique<Intent>();
                          intent->restoreParameters(parameters);
                          return intent;
                      }};
}

// What an extension offers: its widgets, and the intents their buttons carry.
struct WidgetBundleContents {
    std::vector<WidgetConfiguration> widgets;
    std::vector<IntentType> intents;
};

// Collects a bundle's contents in the order given.
class WidgetBundleBuilder {
public:
    WidgetBundleBuilder& widget(WidgetConfiguration configuration) {
        contents_.widgets.push_back(std::move(configuration));
        return *this;
    }
    template <typename Intent> WidgetBundleBuilder& intent() {
        contents_.intents.push_back(intentType<Intent>());
        return *this;
    }
    WidgetBundleContents build() const { return contents_; }

private:
    WidgetBundleContents contents_;
};

namespace WidgetBundle {

// Hands control to the runner: serves the widget host on standard input and
// output until the host closes the input, then returns the exit status.
// Understands --help and --describe on the command line.
int main(const WidgetBundleContents& contents, int argc, char** argv);

} // namespace WidgetBundle

} // namespace platform
