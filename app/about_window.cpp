#include "app/about_window.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QWindow>
#include <utility>
#include <vector>

#include "app/app_icon.h"
#include "app/outer_frame.h"
#include "app/web_address.h"

namespace qingxiu {

AboutWindow::AboutWindow(const LinkBox::Opener& opener)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QString());
    setWindowIcon(appWindowIcon());
    setSizeGripEnabled(false);
    frame_ = new OuterFrame(this, QSize(kOuterWidth, kOuterHeight));

    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    face.setColor(QPalette::WindowText, Qt::black);
    setPalette(face);

    标签1 = new QLabel(QStringLiteral("一款简易的墨川图标转换程序,可随意传播."), this);
    标签1->setObjectName(QStringLiteral("标签1"));
    标签1->setGeometry(8, 16, 256, 24);
    标签1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    标签1->setWordWrap(true);

    超级链接框1 = new LinkBox(kProjectAddress, opener, this);
    超级链接框1->setObjectName(QStringLiteral("超级链接框1"));
    超级链接框1->setGeometry(56, 48, 112, 16);
}

void AboutWindow::centre() {
    frame_->centre();
}

void showAboutWindow(QWidget* owner, const LinkBox::Opener& opener) {
    try {
        // A fresh window each time: it opens centred and with its link not yet visited.
        AboutWindow about(opener);
        // Owned by no window, so that disabling the others leaves it alone, yet kept above the
        // main window and off the task bar as a transient dialog of it.
        about.winId();
        if (owner != nullptr && owner->windowHandle() != nullptr) {
            about.windowHandle()->setTransientParent(owner->windowHandle());
        }

        std::vector<std::pair<QPointer<QWidget>, bool>> others;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != &about) {
                others.emplace_back(window, window->isEnabled());
                window->setEnabled(false);
            }
        }
        about.centre();
        about.exec();
        for (auto& [window, wasEnabled] : others) {
            if (window) {
                window->setEnabled(wasEnabled);
            }
        }
    } catch (const std::exception&) {
        // Nothing of the icon work depends on this window; failing to show it is not reported.
    }
}

}  // namespace qingxiu
