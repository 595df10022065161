#pragma once

#include "Platform/Widgets/WidgetBundle.h"
#include "Platform/Widgets/WidgetConfiguration.h"

#include <string>

namespace tarvelo {

// The extension's one widget: a static month calendar in the small and
// medium sizes, drawn edge to edge on the tertiary fill.
struct TarveloWidget {
    const std::string kind = "TarveloWidget";

    platform::WidgetConfiguration body() const;
};

// The extension's entry type: its widgets and the intents their buttons carry.
struct TarveloWidgetBundle {
    platform::WidgetBundleContents body() const;

    // Hands control to the widget host's runner; returns when the host is done.
    static int main(int argc, char** argv);
};

} // namespace tarvelo
