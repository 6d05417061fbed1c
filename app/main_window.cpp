#include "app/main_window.h"

#include <QAction>
#include <QButtonGroup>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <array>
#include <iterator>

#include "app/about_window.h"
#include "app/app_icon.h"
#include "app/canvas_widget.h"
#include "app/web_address.h"
#include "icon/handlers.h"

namespace qingxiu {

// The handlers' view of the window: its size buttons, canvases and dialog, and the desktop's
// message boxes and files.
class MainWindow::Area : public WorkArea {
public:
    explicit Area(MainWindow& window) : window_(window) {}

    bool checked(RadioButton button) const override {
        return (button == qingxiu::单选框1 ? window_.单选框1 : window_.单选框2)->isChecked();
    }
    Canvas& 位图画板1() override { return window_.位图画板1->canvas(); }
    Canvas& 图标画板1() override { return window_.图标画板1->canvas(); }
    Canvas& 图标画板2() override { return window_.图标画板2->canvas(); }
    CommonDialog& 通用对话框1() override { return *window_.通用对话框1; }
    void messageBox(const std::string& text, int style, const std::string& caption) override {
        window_.desktop_.messageBox(text, style, caption);
    }
    ByteSet readFile(const std::string& name) override { return window_.desktop_.readFile(name); }
    bool writeFile(const std::string& name, const ByteSet& bytes) override {
        return window_.desktop_.writeFile(name, bytes);
    }

private:
    MainWindow& window_;
};

namespace {

template <typename Control>
Control* named(Control* control, const QString& name) {
    control->setObjectName(name);
    return control;
}

}  // namespace

MainWindow::MainWindow(const std::function<Desktop(QWidget* owner)>& makeDesktop,
                       const Display& display)
    : desktop_(makeDesktop(this)), area_(std::make_unique<Area>(*this)) {
    setWindowTitle(QStringLiteral("青岫1.0简易版"));
    setWindowIcon(appWindowIcon());
    // A fixed frame with the system menu, a minimise and a close button, and no maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    frame_ = new OuterFrame(this, QSize(kOuterWidth, kOuterHeight));

    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("帮助"));
    介绍 = help->addAction(QStringLiteral("介绍"));
    介绍->setObjectName(QStringLiteral("介绍"));

    buildControls(display);
    bindEvents();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls(const Display& display) {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("客户区"));
    setCentralWidget(client);

    选择图片 = named(new QPushButton(QStringLiteral("选择图片")), QStringLiteral("选择图片"));
    位图画板2 = named(new CanvasWidget(84, 84, display, false), QStringLiteral("位图画板2"));
    标签2 = named(new QLabel(QStringLiteral("32×32")), QStringLiteral("标签2"));
    标签1 = named(new QLabel(QStringLiteral("16×16")), QStringLiteral("标签1"));
    图标画板1 = named(new CanvasWidget(16, 16, display, true), QStringLiteral("图标画板1"));
    图标画板2 = named(new CanvasWidget(32, 32, display, true), QStringLiteral("图标画板2"));
    清除 = named(new QPushButton(QStringLiteral("清    除")), QStringLiteral("清除"));
    保存 = named(new QPushButton(QStringLiteral("保存图标")), QStringLiteral("保存"));
    转换 = named(new QPushButton(QStringLiteral("转　　换")), QStringLiteral("转换"));
    分组框3 = named(new QGroupBox(QStringLiteral("图标效果")), QStringLiteral("分组框3"));
    位图画板1 = named(new CanvasWidget(84, 84, display, false), QStringLiteral("位图画板1"));
    通用对话框1 = std::move(desktop_.dialog);
    分组框2 = named(new QGroupBox(QStringLiteral("图像文件预览")), QStringLiteral("分组框2"));
    单选框3 = named(new QRadioButton(QStringLiteral("16×16,32×32")), QStringLiteral("单选框3"));
    单选框2 = named(new QRadioButton(QStringLiteral("32×32")), QStringLiteral("单选框2"));
    单选框1 = named(new QRadioButton(QStringLiteral("16×16")), QStringLiteral("单选框1"));
    分组框1 = named(new QGroupBox(QStringLiteral("图标大小")), QStringLiteral("分组框1"));

    struct Placement {
        QWidget* control;
        QWidget* parent;
        QRect geometry;
    };
    const Placement placements[] = {
        {选择图片, client, {146, 8, 66, 24}},   {位图画板2, 分组框2, {15, 105, 84, 84}},
        {标签2, 分组框3, {60, 69, 42, 18}},     {标签1, 分组框3, {60, 31, 42, 18}},
        {图标画板1, 分组框3, {12, 30, 16, 16}}, {图标画板2, 分组框3, {12, 60, 32, 32}},
        {清除, client, {146, 108, 66, 24}},     {保存, client, {146, 74, 66, 24}},
        {转换, client, {146, 41, 66, 24}},      {分组框3, client, {132, 18, 114, 102}},
        {位图画板1, 分组框2, {15, 18, 84, 84}}, {分组框2, client, {6, 2, 114, 198}},
        {单选框3, 分组框1, {6, 52, 102, 5}},    {单选框2, 分组框1, {6, 39, 84, 18}},
        {单选框1, 分组框1, {6, 21, 84, 18}},    {分组框1, client, {132, 140, 92, 60}},
    };
    // Among siblings the control created first lies on top, so they join their parents last to
    // first: a widget that joins later is stacked above those already there.
    for (auto it = std::rbegin(placements); it != std::rend(placements); ++it) {
        it->control->setParent(it->parent);
        it->control->setGeometry(it->geometry);
    }

    for (QLabel* label : {标签1, 标签2}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->hide();
    }
    for (QPushButton* button : {选择图片, 转换, 保存, 清除}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);
    }
    for (CanvasWidget* canvas : {位图画板1, 位图画板2, 图标画板1, 图标画板2}) {
        canvas->setFocusPolicy(Qt::NoFocus);
    }

    auto* sizeButtons = new QButtonGroup(this);
    for (QRadioButton* button : {单选框1, 单选框2, 单选框3}) {
        sizeButtons->addButton(button);
    }
    单选框1->installEventFilter(this);
    单选框2->installEventFilter(this);
    // The group "图标效果" with the icon canvases and the third size button are working parts
    // that never show: the canvases still draw and capture through their persistent images.
    单选框3->hide();
    分组框3->hide();
}

void MainWindow::bindEvents() {
    connect(介绍, &QAction::triggered, this, [this] { showAboutWindow(this, openWebAddress); });
    connect(选择图片, &QPushButton::clicked, this, [this] { choosePicture(*area_); });
    connect(转换, &QPushButton::clicked, this, [this] { convertPicture(*area_); });
    connect(保存, &QPushButton::clicked, this, [this] { saveIcon(*area_); });
    connect(清除, &QPushButton::clicked, this, [this] { clearWorkArea(*area_); });
}

void MainWindow::showCentred() {
    frame_->centre();
    show();
}

// An arrow key on one of the two size buttons moves to the other and checks it, whichever arrow
// it is: the two form a ring, and the hidden third button is never reached.
bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == 单选框1 || watched == 单选框2) && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_Left:
            case Qt::Key_Right: {
                QRadioButton* other = watched == 单选框1 ? 单选框2 : 单选框1;
                other->setFocus(Qt::OtherFocusReason);
                other->click();
                return true;
            }
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Tab runs through the six tab stops in a ring: the size buttons, then the buttons top to bottom.
// Both size buttons are stops of their own, checked or not.
bool MainWindow::focusNextPrevChild(bool next) {
    const std::array<QWidget*, 6> stops{单选框1, 单选框2, 选择图片, 转换, 保存, 清除};
    const auto current = std::find(stops.begin(), stops.end(), focusWidget());
    auto index = current == stops.end() ? (next ? stops.size() - 1 : 0)
                                        : static_cast<std::size_t>(current - stops.begin());
    for (std::size_t step = 0; step < stops.size(); ++step) {
        index = (index + (next ? 1 : stops.size() - 1)) % stops.size();
        if (stops[index]->isVisible() && stops[index]->isEnabled()) {
            stops[index]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            close();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // Enter does nothing in this window: no button is the default one.
            event->accept();
            return;
        default:
            QMainWindow::keyPressEvent(event);
    }
}

}  // namespace qingxiu
