#include "app/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace qingxiu {

QImage drawAppIcon(int size) {
    QImage image(size, size, QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    QLinearGradient sky(0, 0, 0, 32);
    sky.setColorAt(0, QColor(0xE8, 0xF4, 0xF1));
    sky.setColorAt(1, QColor(0xC9, 0xE6, 0xDF));
    painter.fillRect(QRectF(0, 0, 32, 32), sky);

    // The far ridge, lighter, then the main peak in front of it.
    QPainterPath far;
    far.moveTo(0, 24);
    far.lineTo(8, 14);
    far.lineTo(13, 18);
    far.lineTo(20, 9);
    far.lineTo(32, 20);
    far.lineTo(32, 32);
    far.lineTo(0, 32);
    far.closeSubpath();
    painter.fillPath(far, QColor(0x6F, 0xB8, 0xA8));

    QPainterPath peak;
    peak.moveTo(-1, 32);
    peak.lineTo(13, 6);
    peak.lineTo(17, 12);
    peak.lineTo(20, 9);
    peak.lineTo(33, 32);
    peak.closeSubpath();
    QLinearGradient rock(0, 6, 0, 32);
    rock.setColorAt(0, QColor(0x1F, 0x8A, 0x7D));
    rock.setColorAt(1, QColor(0x0E, 0x4F, 0x5C));
    painter.fillPath(peak, rock);

    // A light stroke down the sunlit face gives the peak its edge.
    QPainterPath face;
    face.moveTo(13, 6);
    face.lineTo(11, 13);
    face.lineTo(14, 19);
    painter.setPen(QPen(QColor(0xB6, 0xE3, 0xD6), 1.2));
    painter.drawPath(face);
    return image;
}

QIcon appWindowIcon() {
    return QIcon(QPixmap::fromImage(drawAppIcon(32)));
}

}  // namespace qingxiu
