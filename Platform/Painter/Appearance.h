#pragma once

namespace platform {

// The desktop's colour scheme, which decides how semantic colours look.
enum class Appearance { light, dark };

} // namespace platform
