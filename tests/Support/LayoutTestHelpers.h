#pragma once

#include "Platform/View/DisplayList.h"

namespace tarvelo::testsupport {

template <typename Item> std::vector<Item> itemsOf(const platform::DisplayList& list) {
    std::vector<Item> result;
    for (const auto& item : list.items)
        if (const auto* value = std::get_if<Item>(&item))
            result.push_back(*value);
    return result;
}

} // namespace tarvelo::testsupport
