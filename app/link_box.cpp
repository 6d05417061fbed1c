#include "app/link_box.h"

#include <QMouseEvent>
#include <QPainter>

namespace qingxiu {

LinkBox::LinkBox(QString address, Opener opener, QWidget* parent)
    : QWidget(parent), address_(std::move(address)), opener_(std::move(opener)) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
}

QColor LinkBox::textColour() const {
    if (hovered_) {
        return kHover;
    }
    return visited_ ? kVisited : kNormal;
}

void LinkBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(textColour());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, address_);
}

void LinkBox::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QWidget::enterEvent(event);
}

void LinkBox::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QWidget::leaveEvent(event);
}

void LinkBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || address_.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A failed opening takes the visited state away again; nothing is reported.
    visited_ = opener_ && opener_(address_);
    update();
}

}  // namespace qingxiu
