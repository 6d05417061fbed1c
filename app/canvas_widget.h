#pragma once

#include <QWidget>

#include "picture/canvas.h"

namespace qingxiu {

// A canvas control: shows what its canvas model paints, at exactly its size and with no border.
class CanvasWidget : public QWidget {
    Q_OBJECT

public:
    CanvasWidget(int width, int height, const Display& display, bool persistentImage);

    Canvas& canvas() { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Canvas canvas_;
};

}  // namespace qingxiu
