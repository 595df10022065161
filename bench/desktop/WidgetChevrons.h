#pragma once

// Where the Tarvelo widget's month chevrons and a day are, in points of a small
// widget's window: the centres of the click regions whose step intent moves
// by +1 (forward) and -1 (back), and of two days in the middle (links), as the host's
// own picture has them.

#include "Platform/WidgetHost/WidgetHost.h"

#include <string>
#include <vector>

namespace bench {

struct Chevrons {
    platform::Point forward{94, 12};
    platform::Point back{76, 12};
    platform::Point day{80, 60}; // the middle of a day's cell (a link)
    platform::Point nextDay{100, 60};
};

inline Chevrons smallWidgetChevrons() {
    Chevrons chevrons;
    platform::WidgetHost host(platform::WidgetHost::Options{});
    std::string problem;
    const auto picture = host.picture("TarveloWidget", platform::WidgetFamily::systemSmall, false, problem);
    if (!picture)
        return chevrons;
    std::vector<platform::Point> days;
    for (const auto& item : picture->displayList.items) {
        const auto* region = std::get_if<platform::HitRegion>(&item);
        if (!region)
            continue;
        const platform::Point centre{region->frame.origin.x + region->frame.size.width / 2,
                                     region->frame.origin.y + region->frame.size.height / 2};
        if (std::holds_alternative<platform::URL>(region->action)) {
            days.push_back(centre);
            continue;
        }
        for (const auto& [key, value] :
             std::get<platform::IntentReference>(region->action).parameters.items()) {
            if (value == 1)
                chevrons.forward = centre;
            else if (value == -1)
                chevrons.back = centre;
        }
    }
    if (days.size() > 1) {
        chevrons.day = days[days.size() / 2 - 1];
        chevrons.nextDay = days[days.size() / 2];
    }
    return chevrons;
}

} // namespace bench
