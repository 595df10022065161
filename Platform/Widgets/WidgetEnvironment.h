#pragma once

#include "Platform/View/LayoutEnvironment.h"

namespace platform {

// The environment every widget is laid out in: the defaults, with the
// layout direction of the user's locale (right to left for Hebrew, Arabic,
// Persian ...), read afresh at each call.
LayoutEnvironment widgetEnvironment();

} // namespace platform
