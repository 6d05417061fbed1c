#include "app/web_address.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace qingxiu {
namespace {

// Splits a desktop entry's Exec value into words: blanks separate them, double quotes group
// them, and inside quotes a backslash takes the next character as it is.
QStringList execWords(const QString& line) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < line.size()) {
                word += line[++i];
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord) {
                words << word;
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) {
        words << word;
    }
    return words;
}

bool isTargetFieldCode(const QString& word) {
    static const QStringList codes{QStringLiteral("%f"), QStringLiteral("%F"), QStringLiteral("%u"),
                                   QStringLiteral("%U")};
    return codes.contains(word);
}

}  // namespace

QStringList commandForAddress(const QString& commandLine, const QString& address) {
    QStringList command;
    for (const QString& word : execWords(commandLine)) {
        if (isTargetFieldCode(word)) {
            break;
        }
        // The other field codes (%i, %c, %k and the deprecated ones) stand for values this
        // opening has none of; a word that is a field code alone is dropped.
        if (word.size() == 2 && word[0] == QLatin1Char('%') && word[1] != QLatin1Char('%')) {
            continue;
        }
        QString unescaped = word;
        unescaped.replace(QStringLiteral("%%"), QStringLiteral("%"));
        command << unescaped;
    }
    if (command.isEmpty()) {
        return {};
    }
    command << address;
    return command;
}

bool openWebAddress(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid()) {
        return false;
    }
    if (QDesktopServices::openUrl(url)) {
        return true;
    }
    const std::optional<QString> line = registeredHtmlCommand();
    if (!line) {
        return false;
    }
    QStringList command = commandForAddress(*line, url.toString());
    if (command.isEmpty()) {
        return false;
    }
    const QString program = command.takeFirst();
    // Started as a process of its own, without a shell, and not waited for.
    return QProcess::startDetached(program, command);
}

}  // namespace qingxiu
