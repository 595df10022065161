#pragma once

#include "Platform/Calendar/Calendar.h"
#include "Platform/Calendar/DateFormatter.h"
#include "Platform/Calendar/Instant.h"
#include "Platform/Calendar/LocaleDigits.h"
#include "Platform/URL/URL.h"
#include "Platform/View/View.h"
#include "TarveloFeature/MonthModel/DayCell.h"
#include "TarveloWidget/MonthEntry.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tarvelo {

// The widget's month page: a header with the two step chevrons around the
// month's title, the weekday initials, six weeks of day links with today on
// a red disc, and the footer label. It draws no background of its own and
// never asks which size it is: every vertical measure is a share of the
// height it is given and the columns share the width.
class TarveloWidgetView {
public:
    // Where the view reads the time; the real clock unless a test pins it.
    using Clock = std::function<platform::Instant()>;

    explicit TarveloWidgetView(MonthEntry entry, Clock clock = platform::Instant::now);

    // The view tree. Reads the clock once for the header and once for the
    // grid, so the today mark and the title follow the moment of rendering.
    platform::View body() const;

    // "tarvelo://date?t=" and the seconds from 2001-01-01 00:00:00 UTC to
    // `date`, truncated toward zero.
    static platform::URL dateLink(platform::Instant date);

    // What a step button is called for assistive technologies, by the way
    // its intent steps: "Previous month" or "Next month", localizable.
    static std::string stepLabel(std::int64_t delta);
    // What a day is called: its full date in the user's locale ("Monday,
    // December 7, 2026"), and that it is today where it is.
    static std::string dayLabel(const DayCell& cell, const platform::DateFormatter& formatter);
    // The skeleton of that full date.
    static constexpr const char* fullDateTemplate = "EEEEyMMMMd";

    // The footer's text, a localizable key.
    static constexpr const char* footerLabel = "tarvelo.today";

    const MonthEntry& entry() const { return entry_; }

private:
    platform::View header(double height) const;
    platform::View weekdayRow(double height) const;
    platform::View dayGrid(double height) const;
    platform::View footer(double height) const;
    // The day number in the locale's `digits`; its full date from `formatter`.
    static platform::View dayCell(const DayCell& cell, const platform::Calendar& calendar,
                                  const platform::LocaleDigits& digits,
                                  const platform::DateFormatter& formatter);
    static platform::View stepButton(std::int64_t delta, const std::string& systemName);
    static platform::View chevron(const std::string& systemName);

    MonthEntry entry_;
    Clock clock_;
};

} // namespace tarvelo
