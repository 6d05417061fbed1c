#include "app/outer_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qingxiu {

OuterFrame::OuterFrame(QWidget* window, QSize outer)
    : QObject(window), window_(window), outer_(outer) {
    window_->setFixedSize(outer_);
    window_->installEventFilter(this);
}

void OuterFrame::centre() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Integer division, as the outer rectangle's top-left corner is given in whole pixels.
    window_->move(screen.x() + (screen.width() - outer_.width()) / 2,
                  screen.y() + (screen.height() - outer_.height()) / 2);
}

void OuterFrame::fitToFrame() {
    const QSize frame = window_->frameGeometry().size() - window_->size();
    if (fitted_ || frame.isNull()) {
        return;
    }
    fitted_ = true;
    window_->setFixedSize(outer_ - frame);
    centre();
}

bool OuterFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        switch (event->type()) {
            case QEvent::Show:
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowActivate:
                fitToFrame();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qingxiu
