#pragma once

#include "picture/draw.h"

namespace qingxiu {

// What the picture layer needs to know of the screen: the primary screen's colour depth and the
// application palette's button colour, which plays the part of the system's button face.
Display currentDisplay();

}  // namespace qingxiu
