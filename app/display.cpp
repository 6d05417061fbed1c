#include "app/display.h"

#include <QApplication>
#include <QPalette>
#include <QScreen>

namespace qingxiu {

Display currentDisplay() {
    Display display;
    const QScreen* screen = QGuiApplication::primaryScreen();
    display.colourDepth = screen != nullptr ? screen->depth() : 0;
    const QColor face = QApplication::palette().color(QPalette::Button);
    display.buttonFace =
        Colour{static_cast<std::uint8_t>(face.red()), static_cast<std::uint8_t>(face.green()),
               static_cast<std::uint8_t>(face.blue())};
    return display;
}

}  // namespace qingxiu
