// Renders the program's icon as PNG files for the desktop's icon theme:
//   render_icons OUTPUT_FOLDER SIZE...
// writes OUTPUT_FOLDER/SIZExSIZE.png for every size named.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "app/app_icon.h"

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_icons OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "render_icons: cannot make %s\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        const QString name = folder.filePath(QStringLiteral("%1x%1.png").arg(size));
        if (!ok || size <= 0 || !qingxiu::drawAppIcon(size).save(name, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write the %s icon\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
