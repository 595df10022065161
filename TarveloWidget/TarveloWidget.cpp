#include "TarveloWidget/TarveloWidget.h"

#include "Platform/Localization/Localization.h"
#include "Platform/Widgets/WidgetBundle.h"
#include "TarveloWidget/MonthProvider.h"
#include "TarveloWidget/MonthStepIntent.h"
#include "TarveloWidget/WidgetRendering.h"

namespace tarvelo {

platform::WidgetConfiguration TarveloWidget::body() const {
    return platform::StaticConfiguration(kind, MonthProvider(),
                                         std::function<platform::View(const MonthEntry&)>(
                                             [](const MonthEntry& entry) { return widgetContent(entry); }))
        .configurationDisplayName(platform::localized("Tarvelo"))
        .description(platform::localized("A month calendar you can step through without opening Calendar."))
        .supportedFamilies({platform::WidgetFamily::systemSmall, platform::WidgetFamily::systemMedium})
        .contentMarginsDisabled();
}

platform::WidgetBundleContents TarveloWidgetBundle::body() const {
    return platform::WidgetBundleBuilder().widget(TarveloWidget().body()).intent<MonthStepIntent>().build();
}

int TarveloWidgetBundle::main(int argc, char** argv) {
    return platform::WidgetBundle::main(TarveloWidgetBundle().body(), argc, argv);
}

} // namespace tarvelo
