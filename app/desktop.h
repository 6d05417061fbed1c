#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "base/byte_set.h"
#include "icon/work_area.h"

class QWidget;

namespace qingxiu {

// What the main window asks of the desktop: its file dialog, message boxes and whole-file
// reading and writing. The program uses the Qt versions below; tests put scripted ones in.
struct Desktop {
    std::unique_ptr<CommonDialog> dialog;
    std::function<void(const std::string& text, int style, const std::string& caption)> messageBox;
    std::function<ByteSet(const std::string& name)> readFile;
    std::function<bool(const std::string& name, const ByteSet& bytes)> writeFile;
};

// The Qt desktop, with owner as the parent of its dialogs and message boxes.
Desktop qtDesktop(QWidget* owner);

// "desc|patterns|desc|patterns" as Qt name filters: "desc (patterns)" a pair, ';' between
// patterns becoming a space and "*.*" becoming "*" (every file, with or without a dot).
QStringList nameFiltersOf(const std::string& filter);

// The common dialog shown as a QFileDialog: open for existing files only, save for any name with
// a question before an existing file is replaced; it starts from its file-name setting.
class QtCommonDialog : public CommonDialog {
public:
    explicit QtCommonDialog(QWidget* owner) : owner_(owner) {}

    void setType(DialogType type) override { type_ = type; }
    void setFilter(const std::string& filter) override { filter_ = filter; }
    void setFileName(const std::string& name) override { fileName_ = name; }
    std::string fileName() const override { return fileName_; }
    void setDefaultExtension(const std::string& extension) override { extension_ = extension; }
    bool show() override;

private:
    QWidget* owner_;
    DialogType type_ = DialogType::Open;
    std::string filter_ = "图像文件|*.bmp;*.jpg;*.gif;*.tif;*.pcx;*.ico;*.cur;*.png";
    std::string fileName_;
    std::string extension_;
};

// The whole file, or the empty byte set when the name is empty, the file cannot be opened or
// read, is empty, or is too large to hold in memory.
ByteSet readWholeFile(const std::string& name);

// Writes through a temporary file renamed over the target, so that a failed write never leaves a
// truncated file where an older one stood. False for an empty name or any failure.
bool writeWholeFile(const std::string& name, const ByteSet& bytes);

}  // namespace qingxiu
