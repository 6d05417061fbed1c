#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <cstdlib>
#include <memory>
#include <new>

#include "app/app_icon.h"
#include "app/desktop.h"
#include "app/display.h"
#include "app/main_window.h"
#include "icon/icon_data.h"

namespace {

// The exit routine runs once, at the normal end of the program, and releases 图标数据.
void registerExitRoutine() {
    static const bool registered = std::atexit(qingxiu::releaseIconData) == 0;
    static_cast<void>(registered);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The program's own folder is where the first file dialog starts.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    // Dialogs and message boxes carry the program's icon too.
    QApplication::setWindowIcon(qingxiu::appWindowIcon());

    // 图标数据 starts empty, as a global byte set does; nothing else is set up: the program
    // reads no configuration, command line or saved state.
    registerExitRoutine();

    std::unique_ptr<qingxiu::MainWindow> window;
    try {
        window =
            std::make_unique<qingxiu::MainWindow>(qingxiu::qtDesktop, qingxiu::currentDisplay());
    } catch (const std::exception&) {
        QMessageBox::critical(nullptr, QStringLiteral("青岫"), QStringLiteral("无法创建主窗口。"));
        // Ends at once, without the exit routine.
        std::_Exit(-1);
    }
    window->showCentred();
    QApplication::exec();
    return 0;
}
