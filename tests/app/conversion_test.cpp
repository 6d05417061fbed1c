// The real window driven through its buttons, with the dialog and files replaced: a picture goes
// all the way to a saved icon file.

#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "app/canvas_widget.h"
#include "app/main_window.h"
#include "icon/icon_data.h"
#include "icon/templates.h"
#include "scripted_desktop.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {

class ConversionTest : public QObject {
    Q_OBJECT

private:
    ScriptedDesktop desktop_;
    std::unique_ptr<MainWindow> window_;

    void click(const char* name) {
        auto* button = window_->findChild<QAbstractButton*>(QString::fromUtf8(name));
        QVERIFY2(button != nullptr, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void init() {
        releaseIconData();
        desktop_ = ScriptedDesktop{};
        window_ = std::make_unique<MainWindow>([this](QWidget*) { return desktop_.make(); },
                                               Display{32, {0xF0, 0xF0, 0xF0}});
        window_->showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() {
        window_.reset();
        releaseIconData();
    }

    void aPictureBecomesASavedIcon_data() {
        QTest::addColumn<QString>("sizeButton");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("length");
        QTest::newRow("16x16") << "单选框1" << 16 << 894;
        QTest::newRow("32x32") << "单选框2" << 32 << 3262;
    }

    void aPictureBecomesASavedIcon() {
        QFETCH(QString, sizeButton);
        QFETCH(int, side);
        QFETCH(int, length);
        // Four quadrants of 2N x 2N pixels: the icon shrinks each to an N/2 square.
        const Colour quadrants[2][2] = {{{255, 0, 0}, {0, 255, 0}}, {{0, 0, 255}, {255, 255, 0}}};
        desktop_.files["/pictures/q.bmp"] = test::makeBmp24(
            2 * side, 2 * side, [&](int x, int y) { return quadrants[y / side][x / side]; });
        desktop_.answers = {"/pictures/q.bmp", "/icons/q.ico"};

        click(sizeButton.toUtf8().constData());
        click("选择图片");
        auto* preview = window_->findChild<CanvasWidget*>(QStringLiteral("位图画板1"));
        QVERIFY(!preview->canvas().backgroundPicture().empty());
        // The picture fits the 84 x 84 preview, so it sits centred at its natural size.
        const Raster& shown = preview->canvas().paint();
        const int offset = (84 - 2 * side) / 2;
        QCOMPARE(shown.pixel(offset, offset), quadrants[0][0]);
        QCOMPARE(shown.pixel(offset + 2 * side - 1, offset + 2 * side - 1), quadrants[1][1]);
        QCOMPARE(shown.pixel(0, 0), (Colour{0xF0, 0xF0, 0xF0}));

        click("转换");
        click("保存");
        QVERIFY(desktop_.messages.empty());
        const ByteSet& saved = desktop_.files["/icons/q.ico"];
        QCOMPARE(static_cast<int>(saved.size()), length);
        const SizeMode mode = side == 16 ? SizeMode::Small16 : SizeMode::Large32;
        const ByteSet blank = templateFor(mode);
        QVERIFY(left(saved, 62) == left(blank, 62));
        QVERIFY(right(saved, side * 4) == right(blank, side * 4));
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                // Bottom row first, blue, green, red.
                const std::size_t at = 62 + static_cast<std::size_t>((side - 1 - y) * side + x) * 3;
                const Colour expected = quadrants[2 * y / side][2 * x / side];
                QCOMPARE((Colour{saved[at + 2], saved[at + 1], saved[at]}), expected);
            }
        }
        QVERIFY(preview->canvas().backgroundPicture().empty());
        QVERIFY(图标数据.empty());
    }
};

}  // namespace qingxiu

QTEST_MAIN(qingxiu::ConversionTest)
#include "conversion_test.moc"
