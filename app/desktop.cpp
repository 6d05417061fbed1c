#include "app/desktop.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSaveFile>
#include <limits>
#include <new>

namespace qingxiu {
namespace {

QString qtText(const std::string& text) {
    return QString::fromStdString(text);
}

QMessageBox::Icon iconOfStyle(int style) {
    switch (style & 0xF0) {
        case 0x10:
            return QMessageBox::Critical;
        case 0x20:
            return QMessageBox::Question;
        case 0x30:
            return QMessageBox::Warning;
        case 0x40:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

void showMessageBox(QWidget* owner, const std::string& text, int style,
                    const std::string& caption) {
    QMessageBox box(iconOfStyle(style), qtText(caption), qtText(text), QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace

QStringList nameFiltersOf(const std::string& filter) {
    const QStringList parts = qtText(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*")) {
                pattern = QStringLiteral("*");
            }
        }
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

bool QtCommonDialog::show() {
    QFileDialog dialog(owner_);
    const bool saving = type_ == DialogType::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(nameFiltersOf(filter_));
    dialog.setDefaultSuffix(qtText(extension_));
    if (!fileName_.empty()) {
        const QFileInfo start(qtText(fileName_));
        dialog.setDirectory(start.absolutePath());
        dialog.selectFile(start.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    fileName_ = dialog.selectedFiles().constFirst().toStdString();
    return true;
}

ByteSet readWholeFile(const std::string& name) {
    if (name.empty()) {
        return {};
    }
    QFile file(qtText(name));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    ByteSet bytes;
    try {
        const qint64 size = file.size();
        if (size > 0 &&
            static_cast<std::uint64_t>(size) < std::numeric_limits<std::size_t>::max()) {
            bytes.reserve(static_cast<std::size_t>(size));
        }
        // Read to the end rather than trusting the size: special files report none.
        char chunk[1 << 16];
        for (;;) {
            const qint64 got = file.read(chunk, sizeof chunk);
            if (got < 0) {
                return {};
            }
            if (got == 0) {
                break;
            }
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
    } catch (const std::bad_alloc&) {
        return {};
    } catch (const std::length_error&) {
        return {};
    }
    return bytes;
}

bool writeWholeFile(const std::string& name, const ByteSet& bytes) {
    if (name.empty()) {
        return false;
    }
    QSaveFile file(qtText(name));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

Desktop qtDesktop(QWidget* owner) {
    Desktop desktop;
    desktop.dialog = std::make_unique<QtCommonDialog>(owner);
    desktop.messageBox = [owner](const std::string& text, int style, const std::string& caption) {
        showMessageBox(owner, text, style, caption);
    };
    desktop.readFile = readWholeFile;
    desktop.writeFile = writeWholeFile;
    return desktop;
}

}  // namespace qingxiu
