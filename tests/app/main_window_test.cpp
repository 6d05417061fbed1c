#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/canvas_widget.h"
#include "app/main_window.h"
#include "scripted_desktop.h"

namespace qingxiu {

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    ScriptedDesktop desktop_;
    std::unique_ptr<MainWindow> window_;

    template <typename T = QWidget>
    T* control(const char* name) {
        return window_->findChild<T*>(QString::fromUtf8(name));
    }

private slots:
    void init() {
        desktop_ = ScriptedDesktop{};
        window_ = std::make_unique<MainWindow>([this](QWidget*) { return desktop_.make(); },
                                               Display{32, {0xF0, 0xF0, 0xF0}});
        window_->showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }

    void windowHasItsTitleFrameAndMenu() {
        QCOMPARE(window_->windowTitle(), QStringLiteral("青岫1.0简易版"));
        // No frame offscreen: the client is the whole outer size, menu bar included.
        QCOMPARE(window_->frameGeometry().size(), QSize(240, 260));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        const Qt::WindowFlags flags = window_->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(window_->windowIcon().availableSizes().value(0), QSize(32, 32));

        const QList<QAction*> menus = window_->menuBar()->actions();
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0]->text(), QStringLiteral("帮助"));
        const QList<QAction*> items = menus[0]->menu()->actions();
        QCOMPARE(items.size(), 1);
        QCOMPARE(items[0]->text(), QStringLiteral("介绍"));
        QVERIFY(items[0]->shortcut().isEmpty());
    }

    void windowIsCentredOnTheScreen() {
        const QRect screen = window_->screen()->geometry();
        QCOMPARE(window_->frameGeometry().topLeft(),
                 QPoint((screen.width() - 240) / 2, (screen.height() - 260) / 2));
    }

    void controlsFollowTheWindowDescription() {
        struct Expected {
            const char* name;
            const char* kind;
            const char* parent;  // nullptr: the client area below the menu bar
            QRect geometry;
            const char* text;
            bool shown;  // shown on screen
            bool hiddenItself;
        };
        // In creation order, which among siblings is also the stacking order, the first on top.
        const Expected table[] = {
            {"选择图片", "QPushButton", nullptr, {146, 8, 66, 24}, "选择图片", true, false},
            {"位图画板2", "qingxiu::CanvasWidget", "分组框2", {15, 105, 84, 84}, "", true, false},
            {"标签2", "QLabel", "分组框3", {60, 69, 42, 18}, "32×32", false, true},
            {"标签1", "QLabel", "分组框3", {60, 31, 42, 18}, "16×16", false, true},
            {"图标画板1", "qingxiu::CanvasWidget", "分组框3", {12, 30, 16, 16}, "", false, false},
            {"图标画板2", "qingxiu::CanvasWidget", "分组框3", {12, 60, 32, 32}, "", false, false},
            {"清除", "QPushButton", nullptr, {146, 108, 66, 24}, "清    除", true, false},
            {"保存", "QPushButton", nullptr, {146, 74, 66, 24}, "保存图标", true, false},
            {"转换", "QPushButton", nullptr, {146, 41, 66, 24}, "转　　换", true, false},
            {"分组框3", "QGroupBox", nullptr, {132, 18, 114, 102}, "图标效果", false, true},
            {"位图画板1", "qingxiu::CanvasWidget", "分组框2", {15, 18, 84, 84}, "", true, false},
            {"分组框2", "QGroupBox", nullptr, {6, 2, 114, 198}, "图像文件预览", true, false},
            {"单选框3", "QRadioButton", "分组框1", {6, 52, 102, 5}, "16×16,32×32", false, true},
            {"单选框2", "QRadioButton", "分组框1", {6, 39, 84, 18}, "32×32", true, false},
            {"单选框1", "QRadioButton", "分组框1", {6, 21, 84, 18}, "16×16", true, false},
            {"分组框1", "QGroupBox", nullptr, {132, 140, 92, 60}, "图标大小", true, false},
        };
        QWidget* client = window_->centralWidget();
        QCOMPARE(client->geometry().topLeft(), QPoint(0, window_->menuBar()->height()));
        std::map<QWidget*, std::vector<QWidget*>> siblings;
        for (const Expected& e : table) {
            QWidget* w = control(e.name);
            QVERIFY2(w != nullptr, e.name);
            QCOMPARE(QString::fromLatin1(w->metaObject()->className()),
                     QString::fromLatin1(e.kind));
            QWidget* parent = e.parent == nullptr ? client : control(e.parent);
            QCOMPARE(w->parentWidget(), parent);
            QCOMPARE(w->geometry(), e.geometry);
            QString text;
            if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                text = button->text();
            } else if (auto* label = qobject_cast<QLabel*>(w)) {
                text = label->text();
            } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
                text = group->title();
            }
            QCOMPARE(text, QString::fromUtf8(e.text));
            QVERIFY2(w->isVisible() == e.shown, e.name);
            QVERIFY2(w->isHidden() == e.hiddenItself, e.name);
            siblings[parent].push_back(w);
        }
        // children() runs bottom to top: reversed, it gives the creation order of each parent's
        // controls.
        for (auto& [parent, expected] : siblings) {
            std::vector<QWidget*> stacked;
            const QObjectList children = parent->children();
            for (auto it = children.crbegin(); it != children.crend(); ++it) {
                if (auto* w = qobject_cast<QWidget*>(*it);
                    w != nullptr && !w->objectName().isEmpty()) {
                    stacked.push_back(w);
                }
            }
            QVERIFY(stacked == expected);
        }
    }

    void canvasesHaveTheirSizeAndButtonFace() {
        const char* names[] = {"位图画板1", "位图画板2", "图标画板1", "图标画板2"};
        for (const char* name : names) {
            auto* canvas = control<CanvasWidget>(name);
            QCOMPARE(canvas->size(), QSize(canvas->canvas().width(), canvas->canvas().height()));
            const Raster& image = canvas->canvas().paint();
            QCOMPARE(image.pixel(0, 0), (Colour{0xF0, 0xF0, 0xF0}));
        }
        QVERIFY(control<CanvasWidget>("图标画板1")->canvas().hasPersistentImage());
        QVERIFY(control<CanvasWidget>("图标画板2")->canvas().hasPersistentImage());
        QVERIFY(!control<CanvasWidget>("位图画板1")->canvas().hasPersistentImage());
    }

    void sizeButtonsFormOneGroupWithArrowKeys() {
        auto* one = control<QRadioButton>("单选框1");
        auto* two = control<QRadioButton>("单选框2");
        auto* three = control<QRadioButton>("单选框3");
        QVERIFY(!one->isChecked() && !two->isChecked() && !three->isChecked());
        QTest::mouseClick(one, Qt::LeftButton);
        QVERIFY(one->isChecked());
        QTest::mouseClick(two, Qt::LeftButton);
        QVERIFY(two->isChecked() && !one->isChecked());

        // An arrow key moves to the other visible button and checks it, skipping 单选框3.
        two->setFocus();
        QTest::keyClick(two, Qt::Key_Down);
        QVERIFY(one->isChecked());
        QVERIFY(one->hasFocus());
        QTest::keyClick(one, Qt::Key_Up);
        QVERIFY(two->isChecked());
        QVERIFY(!three->isChecked());
    }

    void tabVisitsTheSixTabStops() {
        QStringList visited;
        control("单选框1")->setFocus();
        visited << QApplication::focusWidget()->objectName();
        for (int i = 0; i < 6; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        const QStringList ring{"单选框1", "单选框2", "选择图片", "转换", "保存", "清除", "单选框1"};
        QCOMPARE(visited, ring);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("清除"));
    }

    void enterDoesNothingAndEscCloses() {
        auto* choose = control<QPushButton>("选择图片");
        QSignalSpy clicks(choose, &QPushButton::clicked);
        choose->setFocus();
        QTest::keyClick(choose, Qt::Key_Return);
        QTest::keyClick(choose, Qt::Key_Enter);
        QCOMPARE(clicks.count(), 0);
        QVERIFY(desktop_.messages.empty());
        QVERIFY(window_->isVisible());

        QTest::keyClick(choose, Qt::Key_Space);
        QCOMPARE(clicks.count(), 1);

        QTest::keyClick(choose, Qt::Key_Escape);
        QVERIFY(!window_->isVisible());
    }
};

}  // namespace qingxiu

QTEST_MAIN(qingxiu::MainWindowTest)
#include "main_window_test.moc"
