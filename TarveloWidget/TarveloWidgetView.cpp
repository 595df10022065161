#include "TarveloWidget/TarveloWidgetView.h"

#include "Platform/Calendar/DateFormatter.h"
#include "Platform/Localization/Localization.h"
#include "TarveloFeature/MonthModel/MonthGrid.h"
#include "TarveloWidget/MonthStepIntent.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace tarvelo {

using namespace platform;

namespace {

// The page's sections as shares of its height; together they are the whole.
constexpr double topInsetShare = 0.086;
constexpr double headerShare = 0.123;
constexpr double weekdayRowShare = 0.092;
constexpr double gridShare = 0.601;
constexpr double footerShare = 0.098;

constexpr double sidePadding = 8.0;
constexpr double stepButtonSide = 44.0;
constexpr double todayDiscSide = 17.0;
constexpr double weekdaySpacing = 2.0;
constexpr double cellSpacing = 2.0;
constexpr double infinity = std::numeric_limits<double>::infinity();

FlexibleFrame filling() {
    FlexibleFrame frame;
    frame.maxWidth = infinity;
    frame.maxHeight = infinity;
    return frame;
}

FlexibleFrame fillingWidth() {
    FlexibleFrame frame;
    frame.maxWidth = infinity;
    return frame;
}

FlexibleFrame fillingHeight() {
    FlexibleFrame frame;
    frame.maxHeight = infinity;
    return frame;
}

// Dates outside what a 64-bit count of seconds holds never come from the
// month grid; should one arrive, it saturates rather than wrapping around.
std::int64_t linkSeconds(Instant date) {
    if (const auto seconds = date.truncatedSecondsSinceReferenceDate())
        return *seconds;
    const double interval = date.timeIntervalSinceReferenceDate();
    if (std::isnan(interval))
        return 0;
    return interval < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
}

} // namespace

TarveloWidgetView::TarveloWidgetView(MonthEntry entry, Clock clock)
    : entry_(entry)
    , clock_(clock ? std::move(clock) : Clock(Instant::now)) {}

View TarveloWidgetView::body() const {
    // Copies, so the tree stays valid however long the caller keeps it.
    const TarveloWidgetView view = *this;
    return GeometryReader([view](Size size) {
               const double height = size.height;
               return VStack(HorizontalAlignment::center, 0.0,
                             {view.header(headerShare * height), view.weekdayRow(weekdayRowShare * height),
                              view.dayGrid(gridShare * height), view.footer(footerShare * height)})
                   .padding(Edges::top, topInsetShare * height)
                   .frame(size.width, height, Alignment::top());
           })
        .frame(filling())
        .padding(Edges::horizontal, sidePadding);
}

View TarveloWidgetView::header(double height) const {
    const std::string title = MonthGrid::title(entry_.visibleMonth, clock_());
    const View titleText = Text(title)
                               .font(Font::system(13.0, FontWeight::semibold))
                               .lineLimit(1)
                               .minimumScaleFactor(0.8)
                               .allowsTightening(true)
                               .frame(fillingWidth())
                               .layoutPriority(1.0);
    return HStack(VerticalAlignment::center, 0.0,
                  {stepButton(-1, "chevron.left"), titleText, stepButton(+1, "chevron.right")})
        .zIndex(1.0)
        .frame(std::nullopt, height);
}

View TarveloWidgetView::stepButton(std::int64_t delta, const std::string& systemName) {
    const MonthStepIntent intent(delta);
    return Button(intent, chevron(systemName))
        .buttonStyle(ButtonStyle::plain)
        .accessibilityLabel(stepLabel(intent.delta()));
}

std::string TarveloWidgetView::stepLabel(std::int64_t delta) {
    return localized(delta < 0 ? "Previous month" : "Next month");
}

std::string TarveloWidgetView::dayLabel(const DayCell& cell, const DateFormatter& formatter) {
    const std::string date = formatter.string(cell.date);
    return cell.isToday ? localizedFormat("%s, today", date) : date;
}

View TarveloWidgetView::chevron(const std::string& systemName) {
    return Image(systemName)
        .font(Font::system(11.0, FontWeight::semibold))
        .frame(stepButtonSide, stepButtonSide)
        .contentShape(ShapeKind::rectangle);
}

View TarveloWidgetView::weekdayRow(double height) const {
    std::vector<std::pair<std::int64_t, std::string>> symbols;
    for (std::string& symbol : MonthGrid::weekdaySymbols())
        symbols.emplace_back(static_cast<std::int64_t>(symbols.size()), std::move(symbol));
    // A screen reader says "Monday" where the row shows "M".
    const std::vector<std::string> names = MonthGrid::weekdayNames();
    return HStack(VerticalAlignment::center, weekdaySpacing,
                  {ForEach(
                      symbols, [](const auto& pair) { return pair.first; },
                      [&names](const auto& pair) {
                          const auto position = static_cast<std::size_t>(pair.first);
                          return Text(pair.second)
                              .font(Font::system(9.0, FontWeight::medium))
                              .foregroundStyle(ShapeStyle{SemanticColor::secondary})
                              .accessibilityLabel(position < names.size() ? names[position] : pair.second)
                              .frame(fillingWidth());
                      })})
        .frame(std::nullopt, height);
}

View TarveloWidgetView::dayGrid(double height) const {
    const std::vector<DayCell> cells = MonthGrid::cells(entry_.visibleMonth, clock_());
    const Calendar calendar = MonthGrid::calendar();
    const LocaleDigits digits = LocaleDigits::current();
    // The day's full date, as the title's month is written: in the user's
    // locale and calendar.
    DateFormatter formatter(calendar);
    formatter.setLocalizedDateFormatFromTemplate(fullDateTemplate);
    std::vector<std::int64_t> rows;
    for (std::int64_t row = 0; row < MonthGrid::rowCount; ++row)
        rows.push_back(row);
    return VStack(HorizontalAlignment::center, 0.0,
                  {ForEach(
                      rows, [](std::int64_t row) { return row; },
                      [&](std::int64_t row) {
                          // The grid always has 42 cells; a shorter list only shortens the row.
                          const auto first =
                              std::min<std::size_t>(cells.size(), row * MonthGrid::columnCount);
                          const auto last =
                              std::min<std::size_t>(cells.size(), first + MonthGrid::columnCount);
                          const std::vector<DayCell> week(cells.begin() + first, cells.begin() + last);
                          return HStack(VerticalAlignment::center, cellSpacing,
                                        {ForEach(
                                            week, [](const DayCell& cell) { return cell.id; },
                                            [&](const DayCell& cell) {
                                                return dayCell(cell, calendar, digits, formatter);
                                            })})
                              .frame(fillingHeight());
                      })})
        .frame(filling())
        .frame(std::nullopt, height);
}

View TarveloWidgetView::dayCell(const DayCell& cell, const Calendar& calendar, const LocaleDigits& digits,
                                const DateFormatter& formatter) {
    const std::int64_t day = calendar.component(CalendarUnit::day, cell.date);
    const ShapeStyle numberStyle = cell.isToday ? ShapeStyle{SemanticColor::white}
                                   : cell.inVisibleMonth
                                       ? ShapeStyle{SemanticColor::primary}
                                       : ShapeStyle{SemanticColor::secondary}.withOpacity(0.4);
    std::vector<View> layers;
    if (cell.isToday)
        layers.push_back(Circle()
                             .fill(ShapeStyle{SemanticColor::red})
                             .frame(todayDiscSide, todayDiscSide)
                             .accessibilityHidden(true));
    layers.push_back(
        Text(localizedFormat("%lld", day, digits)).font(Font::system(10.0)).foregroundStyle(numberStyle));
    return Link(dateLink(cell.date), ZStack(Alignment::center(), std::move(layers))
                                         .frame(filling())
                                         .contentShape(ShapeKind::rectangle))
        .buttonStyle(ButtonStyle::plain)
        .accessibilityLabel(dayLabel(cell, formatter));
}

View TarveloWidgetView::footer(double height) const {
    return Text(localized(footerLabel))
        .font(Font::system(11.0, FontWeight::semibold))
        .foregroundStyle(ShapeStyle{SemanticColor::primary})
        .lineLimit(1)
        .allowsTightening(true)
        .minimumScaleFactor(0.8)
        .fixedSize(true, false)
        .frame(std::nullopt, height);
}

URL TarveloWidgetView::dateLink(Instant date) {
    // Always well formed: the scheme is fixed and the rest is ASCII digits.
    return *URL::string("tarvelo://date?t=" + std::to_string(linkSeconds(date)));
}

} // namespace tarvelo
