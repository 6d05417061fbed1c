// Where freedesktop.org desktops (Linux and other Unix systems) record the program that opens
// HTML documents: the default application for text/html in the mimeapps.list files, and that
// application's desktop entry with its Exec line.

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTextStream>

#include "app/web_address.h"

namespace qingxiu {
namespace {

// The value of key in the [group] section of a desktop-style key file.
std::optional<QString> keyFileValue(const QString& path, const QString& group, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    QTextStream in(&file);
    bool inGroup = false;
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == key) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return std::nullopt;
}

// The desktop entry of an application id, looked for where applications are installed.
std::optional<QString> desktopEntryPath(const QString& id) {
    const QString found = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id,
                                                 QStandardPaths::LocateFile);
    return found.isEmpty() ? std::nullopt : std::optional<QString>(found);
}

// The mimeapps.list files in the order that decides, then the older defaults.list files.
QStringList associationFiles() {
    QStringList files;
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::ConfigLocation)) {
        files << dir + QStringLiteral("/mimeapps.list");
    }
    const QStringList applications =
        QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation);
    for (const QString& dir : applications) {
        files << dir + QStringLiteral("/mimeapps.list");
    }
    for (const QString& dir : applications) {
        files << dir + QStringLiteral("/defaults.list");
    }
    return files;
}

}  // namespace

std::optional<QString> registeredHtmlCommand() {
    const QString mimeType = QStringLiteral("text/html");
    for (const QString& list : associationFiles()) {
        for (const QString& group :
             {QStringLiteral("Default Applications"), QStringLiteral("Added Associations")}) {
            const std::optional<QString> ids = keyFileValue(list, group, mimeType);
            if (!ids) {
                continue;
            }
            for (const QString& id : ids->split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                const std::optional<QString> entry = desktopEntryPath(id.trimmed());
                if (!entry) {
                    continue;
                }
                const std::optional<QString> exec =
                    keyFileValue(*entry, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
                if (exec && !exec->isEmpty()) {
                    return exec;
                }
            }
        }
    }
    return std::nullopt;
}

}  // namespace qingxiu
