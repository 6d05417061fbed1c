#pragma once

#include <QImage>

namespace qingxiu {

// The program's icon: a blue-green mountain under a pale sky, drawn at any size from one design.
// The window uses it at 32 x 32 and 24 bits per pixel.
QImage drawAppIcon(int size);

}  // namespace qingxiu
