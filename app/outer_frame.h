#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace qingxiu {

// Keeps a fixed-size top-level window at an outer size that includes its frame and title bar,
// centred on the primary screen. The frame's size is known only once the window manager has
// framed the window; until then the client takes the whole outer size, and as soon as the frame
// is known the client shrinks by it and the window is centred again.
class OuterFrame : public QObject {
    Q_OBJECT

public:
    OuterFrame(QWidget* window, QSize outer);

    // Moves the window so that its outer rectangle is centred on the primary screen.
    void centre();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToFrame();

    QWidget* window_;
    QSize outer_;
    bool fitted_ = false;
};

}  // namespace qingxiu
