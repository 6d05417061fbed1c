#include <QEnterEvent>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/about_window.h"
#include "app/link_box.h"
#include "app/main_window.h"
#include "app/web_address.h"
#include "scripted_desktop.h"

namespace qingxiu {

class AboutWindowTest : public QObject {
    Q_OBJECT

private:
    ScriptedDesktop desktop_;
    std::unique_ptr<MainWindow> window_;
    std::vector<QString> opened_;
    bool openSucceeds_ = true;

    LinkBox::Opener opener() {
        return [this](const QString& address) {
            opened_.push_back(address);
            return openSucceeds_;
        };
    }

    // Opens the about window from the menu item and runs inspect while it is open; the window
    // is closed by inspect or, failing that, afterwards.
    void whileOpen(const std::function<void(QDialog&)>& inspect) {
        bool ran = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(about != nullptr);
            ran = true;
            inspect(*about);
            if (about->isVisible()) {
                about->reject();
            }
        });
        showAboutWindow(window_.get(), opener());
        QVERIFY(ran);
    }

    static LinkBox* link(QDialog& about) {
        return about.findChild<LinkBox*>(QStringLiteral("超级链接框1"));
    }

    static void enter(LinkBox* box) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(box, &event);
    }

    static void leave(LinkBox* box) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(box, &event);
    }

private slots:
    void init() {
        desktop_ = ScriptedDesktop{};
        opened_.clear();
        openSucceeds_ = true;
        window_ = std::make_unique<MainWindow>([this](QWidget*) { return desktop_.make(); },
                                               Display{32, {0xF0, 0xF0, 0xF0}});
        window_->showCentred();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }

    void windowHasItsControlsAndFrame() {
        whileOpen([](QDialog& about) {
            QCOMPARE(about.windowTitle(), QString());
            QCOMPARE(about.frameGeometry().size(), QSize(268, 100));
            QCOMPARE(about.minimumSize(), about.maximumSize());
            const QRect screen = about.screen()->geometry();
            QCOMPARE(about.frameGeometry().topLeft(),
                     QPoint((screen.width() - 268) / 2, (screen.height() - 100) / 2));
            const Qt::WindowFlags flags = about.windowFlags();
            QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
            QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
            QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
            QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
            QVERIFY(!flags.testFlag(Qt::WindowStaysOnTopHint));
            QVERIFY(about.parentWidget() == nullptr);

            auto* label = about.findChild<QLabel*>(QStringLiteral("标签1"));
            QVERIFY(label != nullptr);
            QCOMPARE(label->text(), QStringLiteral("一款简易的墨川图标转换程序,可随意传播."));
            QCOMPARE(label->geometry(), QRect(8, 16, 256, 24));
            QCOMPARE(label->alignment(), Qt::AlignLeft | Qt::AlignTop);
            QVERIFY(label->wordWrap());
            QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::black));

            LinkBox* box = link(about);
            QVERIFY(box != nullptr);
            QCOMPARE(box->geometry(), QRect(56, 48, 112, 16));
            QCOMPARE(box->address(), kProjectAddress);
            QCOMPARE(box->cursor().shape(), Qt::PointingHandCursor);
            QVERIFY(box->fontMetrics().horizontalAdvance(box->address()) <= 112);
        });
    }

    void linkColourFollowsItsState() {
        whileOpen([this](QDialog& about) {
            LinkBox* box = link(about);
            QCOMPARE(box->textColour(), LinkBox::kNormal);
            enter(box);
            QCOMPARE(box->textColour(), LinkBox::kHover);
            QTest::mousePress(box, Qt::LeftButton);
            QCOMPARE(opened_, std::vector<QString>{kProjectAddress});
            // The hover colour wins over the visited one.
            QCOMPARE(box->textColour(), LinkBox::kHover);
            leave(box);
            QCOMPARE(box->textColour(), LinkBox::kVisited);

            QTest::mousePress(box, Qt::RightButton);
            QCOMPARE(opened_.size(), std::size_t{1});

            openSucceeds_ = false;
            QTest::mousePress(box, Qt::LeftButton);
            leave(box);
            QVERIFY(!box->visited());
            QCOMPARE(box->textColour(), LinkBox::kNormal);
            QVERIFY2(about.isVisible(), "a failed opening leaves the window open");
        });
    }

    void anEmptyAddressDoesNothing() {
        int calls = 0;
        LinkBox box(QString(), [&](const QString&) { return ++calls > 0; });
        QTest::mousePress(&box, Qt::LeftButton);
        QCOMPARE(calls, 0);
        QVERIFY(!box.visited());
    }

    void mainWindowIsDisabledWhileOpenAndEscClosesOnlyTheAboutWindow() {
        QVERIFY(window_->isEnabled());
        whileOpen([this](QDialog& about) {
            QVERIFY(!window_->isEnabled());
            QVERIFY(about.isEnabled());
            QTest::keyClick(&about, Qt::Key_Escape);
            QVERIFY(!about.isVisible());
        });
        QVERIFY(window_->isEnabled());
        QVERIFY(window_->isVisible());
    }

    void aWindowDisabledBeforeStaysDisabled() {
        QWidget other;
        other.setEnabled(false);
        other.show();
        whileOpen([](QDialog&) {});
        QVERIFY(!other.isEnabled());
        QVERIFY(window_->isEnabled());
    }

    void eachOpeningBuildsAFreshWindow() {
        const QDialog* first = nullptr;
        whileOpen([&](QDialog& about) {
            first = &about;
            QTest::mousePress(link(about), Qt::LeftButton);
            QVERIFY(link(about)->visited());
            about.move(10, 10);
        });
        whileOpen([&](QDialog& about) {
            QVERIFY(!link(about)->visited());
            const QRect screen = about.screen()->geometry();
            QCOMPARE(about.frameGeometry().topLeft(),
                     QPoint((screen.width() - 268) / 2, (screen.height() - 100) / 2));
        });
        QVERIFY(first != nullptr);
    }

    void theMenuItemOpensTheWindow() {
        bool opened = false;
        QTimer::singleShot(0, this, [&] {
            auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            opened = about != nullptr && about->findChild<LinkBox*>() != nullptr;
            if (about != nullptr) {
                about->reject();
            }
        });
        window_->aboutAction()->trigger();
        QVERIFY(opened);
    }

    void execLineIsCutAtItsFirstFileOrUrlCode_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("command");
        const QString a = QStringLiteral("http://a.example");
        QTest::newRow("url code") << "firefox %u" << QStringList{"firefox", a};
        QTest::newRow("urls code, rest cut")
            << "browser --new-window %U --later" << QStringList{"browser", "--new-window", a};
        QTest::newRow("file code") << "viewer %f" << QStringList{"viewer", a};
        QTest::newRow("no code keeps all")
            << "chromium --incognito" << QStringList{"chromium", "--incognito", a};
        QTest::newRow("quoted program")
            << "\"/opt/My Browser/run\" %u" << QStringList{"/opt/My Browser/run", a};
        QTest::newRow("escaped quote")
            << "sh \"say \\\"hi\\\"\" %u" << QStringList{"sh", "say \"hi\"", a};
        QTest::newRow("other codes dropped") << "browser %i %c %F" << QStringList{"browser", a};
        QTest::newRow("percent sign")
            << "browser --zoom=100%% %u" << QStringList{"browser", "--zoom=100%", a};
        QTest::newRow("no program") << "%u" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void execLineIsCutAtItsFirstFileOrUrlCode() {
        QFETCH(QString, line);
        QFETCH(QStringList, command);
        QCOMPARE(commandForAddress(line, QStringLiteral("http://a.example")), command);
    }
};

}  // namespace qingxiu

QTEST_MAIN(qingxiu::AboutWindowTest)
#include "about_window_test.moc"
