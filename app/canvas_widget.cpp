#include "app/canvas_widget.h"

#include <QImage>
#include <QPainter>

namespace qingxiu {

CanvasWidget::CanvasWidget(int width, int height, const Display& display, bool persistentImage)
    : canvas_(width, height, display, persistentImage) {
    resize(width, height);
    // The canvas paints every pixel itself, so Qt need not clear the area first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas_.setRepaintRequest([this] { update(); });
}

void CanvasWidget::paintEvent(QPaintEvent*) {
    const Raster& image = canvas_.paint();
    if (image.empty()) {
        return;
    }
    // The raster's rows are blue, green, red and packed: exactly QImage's BGR888 with a stride of
    // three bytes a pixel, so it is shown without a copy.
    const QImage view(image.bytes().data(), image.width(), image.height(), image.width() * 3,
                      QImage::Format_BGR888);
    QPainter painter(this);
    painter.drawImage(0, 0, view);
}

}  // namespace qingxiu
