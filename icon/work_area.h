#pragma once

#include <string>

#include "base/byte_set.h"
#include "picture/canvas.h"

namespace qingxiu {

// The two values of the common dialog's type.
enum class DialogType { Open = 0, Save = 1 };

// The one file dialog of the main window, 通用对话框1, serving for opening and for saving. Its
// settings persist between uses; the file name holds the last confirmed full path.
class CommonDialog {
public:
    virtual ~CommonDialog() = default;

    virtual void setType(DialogType type) = 0;
    // Pairs of a description and a pattern list, all separated by '|'; patterns by ';'.
    virtual void setFilter(const std::string& filter) = 0;
    virtual void setFileName(const std::string& name) = 0;
    virtual std::string fileName() const = 0;
    // Appended to a name typed without an extension; empty for none.
    virtual void setDefaultExtension(const std::string& extension) = 0;
    // True when the user confirmed; the full path is then in the file name. False when the user
    // cancelled or the dialog could not open; the file name is then unchanged.
    virtual bool show() = 0;
};

// The size radio buttons the handlers read. Named constants rather than an enumeration: Qt's
// meta-object compiler, which reads these headers in app/, cannot parse enumerators that are not
// ASCII.
struct RadioButton {
    int number;
    friend bool operator==(const RadioButton&, const RadioButton&) = default;
};
inline constexpr RadioButton 单选框1{1};
inline constexpr RadioButton 单选框2{2};

// Message box style: the exclamation icon and one OK button.
inline constexpr int kWarningStyle = 48;

// What the four button handlers see of the main window: the size radio buttons, the preview and
// icon canvases, the common dialog, modal message boxes and whole-file reading and writing.
class WorkArea {
public:
    virtual ~WorkArea() = default;

    virtual bool checked(RadioButton button) const = 0;
    virtual Canvas& 位图画板1() = 0;
    virtual Canvas& 图标画板1() = 0;
    virtual Canvas& 图标画板2() = 0;
    virtual CommonDialog& 通用对话框1() = 0;

    // Modal; returns when the user has closed it.
    virtual void messageBox(const std::string& text, int style, const std::string& caption) = 0;
    // The whole file; empty when the name is empty, the file cannot be read, or it is empty.
    virtual ByteSet readFile(const std::string& name) = 0;
    // Creates or replaces the file with exactly the bytes; false when it could not be written,
    // in which case a file that stood there before is left as it was.
    virtual bool writeFile(const std::string& name, const ByteSet& bytes) = 0;
};

}  // namespace qingxiu
