#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "app/desktop.h"
#include "app/outer_frame.h"
#include "icon/work_area.h"
#include "picture/draw.h"

class QAction;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace qingxiu {

class CanvasWidget;

// The main window "青岫1.0简易版": its controls, and the binding of their events to the handlers.
// It declares no signals or slots of its own (its events are bound to lambdas), and so needs no
// meta-object: the controls keep their names here, which the meta-object compiler cannot read.
class MainWindow : public QMainWindow {
public:
    // Outer size, frame, title bar and menu bar included.
    static constexpr int kOuterWidth = 240;
    static constexpr int kOuterHeight = 260;

    // makeDesktop receives the window, to own the dialogs and message boxes it shows.
    MainWindow(const std::function<Desktop(QWidget* owner)>& makeDesktop, const Display& display);
    ~MainWindow() override;

    // Shows the window with its outer rectangle centred on the primary screen.
    void showCentred();

    // The menu item 帮助 > 介绍.
    QAction* aboutAction() const { return 介绍; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    class Area;

    void buildControls(const Display& display);
    void bindEvents();

    Desktop desktop_;
    std::unique_ptr<Area> area_;
    OuterFrame* frame_ = nullptr;

    QAction* 介绍 = nullptr;

    // The controls, named as in the window description and created in this order.
    QPushButton* 选择图片 = nullptr;
    CanvasWidget* 位图画板2 = nullptr;
    QLabel* 标签2 = nullptr;
    QLabel* 标签1 = nullptr;
    CanvasWidget* 图标画板1 = nullptr;
    CanvasWidget* 图标画板2 = nullptr;
    QPushButton* 清除 = nullptr;
    QPushButton* 保存 = nullptr;
    QPushButton* 转换 = nullptr;
    QGroupBox* 分组框3 = nullptr;
    CanvasWidget* 位图画板1 = nullptr;
    std::unique_ptr<CommonDialog> 通用对话框1;
    QGroupBox* 分组框2 = nullptr;
    QRadioButton* 单选框3 = nullptr;
    QRadioButton* 单选框2 = nullptr;
    QRadioButton* 单选框1 = nullptr;
    QGroupBox* 分组框1 = nullptr;
};

}  // namespace qingxiu
