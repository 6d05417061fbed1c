#pragma once

#include <QIcon>
#include <QImage>

namespace qingxiu {

// The program's icon: a blue-green mountain under a pale sky, drawn at any size from one design.
QImage drawAppIcon(int size);

// The icon of the program's windows: the design at 32 x 32 and 24 bits per pixel.
QIcon appWindowIcon();

}  // namespace qingxiu
