#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop.h"
#include "app/web_address.h"

namespace qingxiu {

class DesktopTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;

    std::string path(const char* name) const {
        return dir_.filePath(QString::fromUtf8(name)).toStdString();
    }

    static void writeText(const QString& path, const QByteArray& text) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

private slots:
    void filtersBecomeQtNameFilters_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("pictures and all files")
            << "图像文件|*.bmp;*.jpg;*.gif;*.tif;*.pcx;*.ico;*.cur;*.png|所有文件(*.*)|*.*"
            << QStringList{"图像文件 (*.bmp *.jpg *.gif *.tif *.pcx *.ico *.cur *.png)",
                           "所有文件(*.*) (*)"};
        QTest::newRow("icons") << "图标文件|*.ico" << QStringList{"图标文件 (*.ico)"};
        QTest::newRow("a description without patterns is dropped")
            << "图标文件|*.ico|残缺" << QStringList{"图标文件 (*.ico)"};
        QTest::newRow("empty") << "" << QStringList{};
    }

    void filtersBecomeQtNameFilters() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(nameFiltersOf(filter.toStdString()), expected);
    }

    void readingGivesTheWholeFileOrNothing() {
        QVERIFY(dir_.isValid());
        const ByteSet content{0x00, 0xFF, 0x42, 0x0A, 0x0D};
        QVERIFY(writeWholeFile(path("a.bin"), content));
        writeText(dir_.filePath(QStringLiteral("empty.bin")), QByteArray());
        QCOMPARE(readWholeFile(path("a.bin")), content);
        QVERIFY(readWholeFile("").empty());
        QVERIFY(readWholeFile(path("missing.bin")).empty());
        QVERIFY(readWholeFile(path("empty.bin")).empty());
        QVERIFY(readWholeFile(dir_.path().toStdString()).empty());
    }

    void writingReplacesWholeOrLeavesTheOldFile() {
        const QTemporaryDir dir;
        const auto path = [&](const char* name) {
            return dir.filePath(QString::fromUtf8(name)).toStdString();
        };
        const ByteSet longer(5000, 0x11);
        const ByteSet shorter(894, 0x22);
        QVERIFY(writeWholeFile(path("icon.ico"), longer));
        QVERIFY(writeWholeFile(path("icon.ico"), shorter));
        QCOMPARE(readWholeFile(path("icon.ico")), shorter);

        QVERIFY(!writeWholeFile("", shorter));
        // A folder that cannot exist, because a file stands where it would be.
        QVERIFY(!writeWholeFile(path("icon.ico/inside.ico"), shorter));
        QVERIFY(!writeWholeFile(path("no/such/folder/x.ico"), shorter));
        QCOMPARE(readWholeFile(path("icon.ico")), shorter);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"icon.ico"});
    }

    void theHtmlHandlerComesFromTheDesktopsAssociations() {
        const QString home = dir_.filePath(QStringLiteral("xdg"));
        qputenv("XDG_CONFIG_HOME", (home + "/config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", (home + "/etc").toUtf8());
        qputenv("XDG_DATA_HOME", (home + "/data").toUtf8());
        qputenv("XDG_DATA_DIRS", (home + "/share").toUtf8());
        QCOMPARE(registeredHtmlCommand(), std::nullopt);

        writeText(home + "/share/applications/web.desktop",
                  "[Desktop Entry]\nName=Web\nExec=web-browser --new %U\n");
        writeText(home + "/share/applications/mimeapps.list",
                  "[Default Applications]\ntext/plain=editor.desktop\ntext/html=web.desktop\n");
        QCOMPARE(registeredHtmlCommand(), std::optional<QString>("web-browser --new %U"));

        // The user's own choice comes first; an id without a desktop entry is passed over.
        writeText(home + "/data/applications/mine.desktop",
                  "[Desktop Action x]\nExec=wrong\n[Desktop Entry]\nExec=\"my browser\" %u\n");
        writeText(home + "/config/mimeapps.list",
                  "[Default Applications]\ntext/html=gone.desktop;mine.desktop;\n");
        QCOMPARE(registeredHtmlCommand(), std::optional<QString>("\"my browser\" %u"));
    }
};

}  // namespace qingxiu

QTEST_MAIN(qingxiu::DesktopTest)
#include "desktop_test.moc"
