#include "TarveloWidget/WidgetRendering.h"

#include "Platform/View/Layout.h"
#include "Platform/Widgets/WidgetEnvironment.h"

namespace tarvelo {

platform::View widgetContent(const MonthEntry& entry, TarveloWidgetView::Clock clock) {
    return TarveloWidgetView(entry, std::move(clock))
        .body()
        .containerBackground(platform::ShapeStyle{platform::SemanticColor::tertiaryFill});
}

platform::DisplayList widgetPicture(const MonthEntry& entry, platform::Size size,
                                    const platform::TextMeasurer& measurer, TarveloWidgetView::Clock clock) {
    return platform::layout(widgetContent(entry, std::move(clock)), size, measurer,
                            platform::widgetEnvironment());
}

} // namespace tarvelo
