// One picture file through the whole conversion path, as the window's buttons take it: read the
// file into the preview, paint the preview, convert (load, draw, capture, splice) and save the
// icon. Made to be timed and measured as a process beside other tools:
//   convert-file [--size 16|32] INPUT.picture OUTPUT.ico
// Exits 0 when the icon was written, 1 when the input is no picture, 2 on wrong use.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "icon/handlers.h"
#include "icon/icon_data.h"

namespace {

using qingxiu::ByteSet;

// A work area with the real canvases, whose dialog answers with the names given on the command
// line and whose message boxes go to the standard error.
class CommandLineArea : public qingxiu::WorkArea {
public:
    CommandLineArea(bool large, std::string input, std::string output)
        : large_(large), input_(std::move(input)), output_(std::move(output)), dialog_(*this) {}

    bool checked(qingxiu::RadioButton button) const override {
        return button == qingxiu::单选框2 ? large_ : !large_;
    }
    qingxiu::Canvas& 位图画板1() override { return preview_; }
    qingxiu::Canvas& 图标画板1() override { return small_; }
    qingxiu::Canvas& 图标画板2() override { return largeCanvas_; }
    qingxiu::CommonDialog& 通用对话框1() override { return dialog_; }
    void messageBox(const std::string& text, int, const std::string& caption) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        warned_ = true;
    }
    ByteSet readFile(const std::string& name) override {
        std::ifstream in(name, std::ios::binary | std::ios::ate);
        const std::streamoff size = in.tellg();
        if (!in || size <= 0) {
            return {};
        }
        ByteSet bytes(static_cast<std::size_t>(size));
        in.seekg(0);
        in.read(reinterpret_cast<char*>(bytes.data()), size);
        return in ? bytes : ByteSet{};
    }
    bool writeFile(const std::string& name, const ByteSet& bytes) override {
        std::ofstream out(name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }

    bool warned() const { return warned_; }

private:
    // Opening answers with the input, saving with the output.
    class Dialog : public qingxiu::CommonDialog {
    public:
        explicit Dialog(CommandLineArea& area) : area_(area) {}
        void setType(qingxiu::DialogType type) override { type_ = type; }
        void setFilter(const std::string&) override {}
        void setFileName(const std::string& name) override { name_ = name; }
        std::string fileName() const override { return name_; }
        void setDefaultExtension(const std::string&) override {}
        bool show() override {
            name_ = type_ == qingxiu::DialogType::Open ? area_.input_ : area_.output_;
            return true;
        }

    private:
        CommandLineArea& area_;
        qingxiu::DialogType type_ = qingxiu::DialogType::Open;
        std::string name_;
    };

    bool large_;
    std::string input_;
    std::string output_;
    qingxiu::Display display_{32, {0xF0, 0xF0, 0xF0}};
    qingxiu::Canvas preview_{84, 84, display_, false};
    qingxiu::Canvas small_{16, 16, display_, true};
    qingxiu::Canvas largeCanvas_{32, 32, display_, true};
    Dialog dialog_;
    bool warned_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    bool large = false;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--size") == 0) {
        large = std::strcmp(argv[2], "32") == 0;
        if (!large && std::strcmp(argv[2], "16") != 0) {
            std::fprintf(stderr, "convert-file: the size is 16 or 32\n");
            return 2;
        }
        first = 3;
    }
    if (argc - first != 2) {
        std::fprintf(stderr, "usage: convert-file [--size 16|32] INPUT OUTPUT.ico\n");
        return 2;
    }
    CommandLineArea area(large, argv[first], argv[first + 1]);
    qingxiu::choosePicture(area);
    (void)area.位图画板1().paint();
    qingxiu::convertPicture(area);
    qingxiu::saveIcon(area);
    return area.warned() ? 1 : 0;
}
