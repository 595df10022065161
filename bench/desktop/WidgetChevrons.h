#pragma once

// Where the Tarvelo widget's month chevrons are, in points of a small
// widget's window: the centres of the click regions whose step intent moves
// by +1 (forward) and -1 (back), as the host's own picture has them.

#include <string>

#include "WidgetHost.h"

namespace bench {

struct Chevrons {
    platform::Point forward{94, 12};
    platform::Point back{76, 12};
};

inline Chevrons smallWidgetChevrons() {
    Chevrons chevrons;
    platform::WidgetHost host(platform::WidgetHost::Options{});
    std::string problem;
    const auto picture = host.picture("TarveloWidget", platform::WidgetFamily::systemSmall, false, problem);
    if (!picture)
        return chevrons;
    for (const auto& item : picture->displayList.items)
        if (const auto* region = std::get_if<platform::HitRegion>(&item))
            if (const auto* intent = std::get_if<platform::IntentReference>(&region->action))
                for (const auto& [key, value] : intent->parameters.items()) {
                    const platform::Point centre{region->frame.origin.x + region->frame.size.width / 2,
                                                 region->frame.origin.y + region->frame.size.height / 2};
                    if (value == 1)
                        chevrons.forward = centre;
                    else if (value == -1)
                        chevrons.back = centre;
                }
    return chevrons;
}

} // namespace bench
