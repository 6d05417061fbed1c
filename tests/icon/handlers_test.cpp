#include "icon/handlers.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "icon/icon_data.h"
#include "icon/templates.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

constexpr Colour kFace{0xF0, 0xF0, 0xF0};

const std::string kNoSize = "请先设置欲转换的图标大小!";
const std::string kNoPicture = "未载入要转换的图标文件！";
const std::string kNotConverted = "图标未转换！请先点击转换按钮在保存！";
const std::string kEmptyName = "文件名称不能为空！";
const std::string kWriteFailed = "图标文件保存失败！";
const std::string kConfirmWithoutName = "<confirmed without a name>";

// A work area with real canvases, a dialog that answers from a script, message boxes that are
// recorded and files that live in memory. Every call the handlers make lands in `log`, canvases
// included through their repaint requests, so the order of the steps can be checked.
class FakeArea : public WorkArea {
public:
    explicit FakeArea(int smallSide = 16)
        : small_(smallSide, smallSide, display_, true), dialog_(*this) {
        preview_.setRepaintRequest([this] { log.push_back("repaint 位图画板1"); });
        small_.setRepaintRequest([this] { log.push_back("repaint 图标画板1"); });
        large_.setRepaintRequest([this] { log.push_back("repaint 图标画板2"); });
    }

    bool checked(RadioButton button) const override { return button == 单选框1 ? radio1 : radio2; }
    Canvas& 位图画板1() override { return preview_; }
    Canvas& 图标画板1() override { return small_; }
    Canvas& 图标画板2() override { return large_; }
    CommonDialog& 通用对话框1() override { return dialog_; }
    void messageBox(const std::string& text, int style, const std::string& caption) override {
        EXPECT_EQ(style, 48);
        EXPECT_EQ(caption, "警告");
        messages.push_back(text);
        log.push_back("message " + text);
    }
    ByteSet readFile(const std::string& name) override {
        log.push_back("read " + name);
        const auto found = files.find(name);
        return found == files.end() ? ByteSet{} : found->second;
    }
    bool writeFile(const std::string& name, const ByteSet& bytes) override {
        log.push_back("write " + name);
        if (failingWrites.count(name) != 0) {
            return false;
        }
        files[name] = bytes;
        return true;
    }

    // Each dialog show takes the next answer: a path confirms it, an empty text cancels, and
    // kConfirmWithoutName confirms leaving the name empty.
    std::deque<std::string> answers;
    std::vector<std::string> shownWith;  // the file-name setting at each show
    bool radio1 = false;
    bool radio2 = false;
    std::vector<std::string> messages;
    std::map<std::string, ByteSet> files;
    std::set<std::string> failingWrites;
    std::vector<std::string> log;

    DialogType type = DialogType::Open;
    std::string filter;
    std::string fileName;
    std::string extension;

private:
    class Dialog : public CommonDialog {
    public:
        explicit Dialog(FakeArea& area) : area_(area) {}
        void setType(DialogType t) override {
            area_.type = t;
            area_.log.push_back("type " + std::to_string(static_cast<int>(t)));
        }
        void setFilter(const std::string& f) override {
            area_.filter = f;
            area_.log.push_back("filter " + f);
        }
        void setFileName(const std::string& n) override {
            area_.fileName = n;
            area_.log.push_back("name " + n);
        }
        std::string fileName() const override { return area_.fileName; }
        void setDefaultExtension(const std::string& e) override {
            area_.extension = e;
            area_.log.push_back("extension " + e);
        }
        bool show() override {
            area_.log.push_back("show");
            area_.shownWith.push_back(area_.fileName);
            if (area_.answers.empty()) {
                ADD_FAILURE() << "dialog shown with no answer scripted";
                return false;
            }
            const std::string answer = area_.answers.front();
            area_.answers.pop_front();
            if (answer.empty()) {
                return false;
            }
            area_.fileName = answer == kConfirmWithoutName ? std::string() : answer;
            return true;
        }

    private:
        FakeArea& area_;
    };

    Display display_{32, kFace};
    Canvas preview_{84, 84, display_, false};
    Canvas small_;
    Canvas large_{32, 32, display_, true};
    Dialog dialog_;
};

// The colour area of an icon file: its rows are bottom first, blue, green, red.
Colour iconPixel(const ByteSet& icon, int side, int x, int y) {
    const std::size_t at = 62 + static_cast<std::size_t>((side - 1 - y) * side + x) * 3;
    return Colour{icon.at(at + 2), icon.at(at + 1), icon.at(at)};
}

class HandlersTest : public ::testing::Test {
protected:
    void SetUp() override { releaseIconData(); }
    void TearDown() override { releaseIconData(); }

    // Checks a size, picks the file and converts it.
    void chooseAndConvert(const std::string& name, const ByteSet& bytes, bool large = false) {
        area.files[name] = bytes;
        (large ? area.radio2 : area.radio1) = true;
        area.answers.push_back(name);
        choosePicture(area);
        convertPicture(area);
    }

    FakeArea area;
};

TEST_F(HandlersTest, ChoosingWithoutASizeOnlyWarns) {
    choosePicture(area);
    const std::vector<std::string> expected{
        "filter 图像文件|*.bmp;*.jpg;*.gif;*.tif;*.pcx;*.ico;*.cur;*.png|所有文件(*.*)|*.*",
        "type 0", "extension ", "message " + kNoSize};
    EXPECT_EQ(area.log, expected);
}

TEST_F(HandlersTest, ChoosingPutsTheWholeFileIntoThePreviewInEitherSize) {
    for (const bool large : {false, true}) {
        FakeArea fresh;
        fresh.radio1 = !large;
        fresh.radio2 = large;
        const ByteSet bytes = {1, 2, 3};  // unchecked: any bytes are stored as they are
        fresh.files["/p/a.bmp"] = bytes;
        fresh.answers.push_back("/p/a.bmp");
        choosePicture(fresh);
        EXPECT_TRUE(fresh.messages.empty());
        EXPECT_EQ(fresh.位图画板1().backgroundPicture(), bytes);
        EXPECT_EQ(fresh.log.back(), "repaint 位图画板1");
        EXPECT_EQ(fresh.log.at(fresh.log.size() - 2), "read /p/a.bmp");
    }
}

TEST_F(HandlersTest, CancellingTheOpenDialogKeepsThePreview) {
    const ByteSet picture = test::makeBmp24(4, 4, kRed);
    chooseAndConvert("/p/red.bmp", picture);
    area.answers.push_back("");
    choosePicture(area);
    EXPECT_EQ(area.位图画板1().backgroundPicture(), picture);
}

TEST_F(HandlersTest, AnEmptyOrUnreadableFileEmptiesThePreview) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    area.files["/p/empty.bmp"] = {};
    for (const std::string name : {"/p/empty.bmp", "/p/missing.bmp"}) {
        area.位图画板1().setBackgroundPicture(test::makeBmp24(2, 2, kRed));
        area.answers.push_back(name);
        choosePicture(area);
        EXPECT_TRUE(area.位图画板1().backgroundPicture().empty()) << name;
    }
}

TEST_F(HandlersTest, TheLastConfirmedPathCarriesOverToTheNextDialog) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    area.answers = {"/p/red.bmp", "/out/a.ico", "/p/red.bmp", "", ""};
    choosePicture(area);  // opens with the picture chosen before
    saveIcon(area);       // empties the name first
    choosePicture(area);  // opens with the saved icon's path
    convertPicture(area);
    saveIcon(area);  // cancelled: the name stays empty
    choosePicture(area);
    const std::vector<std::string> expected{"", "/p/red.bmp", "", "/out/a.ico", "", ""};
    EXPECT_EQ(area.shownWith, expected);
}

TEST_F(HandlersTest, ConvertingMakesTheIconOfTheCheckedSize) {
    struct Case {
        bool large;
        int side;
        std::size_t length;
    };
    for (const Case c : {Case{false, 16, 894}, Case{true, 32, 3262}}) {
        releaseIconData();
        FakeArea fresh;
        fresh.radio1 = !c.large;
        fresh.radio2 = c.large;
        // Left half red, right half blue, at the icon's own size: the rows land unscaled.
        fresh.files["/p/a.bmp"] = test::makeBmp24(
            c.side, c.side, [&](int x, int) { return x < c.side / 2 ? kRed : kBlue; });
        fresh.answers.push_back("/p/a.bmp");
        choosePicture(fresh);
        convertPicture(fresh);
        const SizeMode mode = c.large ? SizeMode::Large32 : SizeMode::Small16;
        const ByteSet expectedTemplate = templateFor(mode);
        ASSERT_EQ(图标数据.size(), c.length);
        EXPECT_EQ(left(图标数据, 62), left(expectedTemplate, 62));
        const auto mask = static_cast<std::int64_t>(c.length) - 62 - 3 * c.side * c.side;
        EXPECT_EQ(right(图标数据, mask), right(expectedTemplate, mask));
        EXPECT_EQ(iconPixel(图标数据, c.side, 0, 0), kRed);
        EXPECT_EQ(iconPixel(图标数据, c.side, c.side - 1, c.side - 1), kBlue);
        EXPECT_EQ(iconPixel(图标数据, c.side, c.side / 2 - 1, c.side - 1), kRed);
        EXPECT_TRUE(fresh.messages.empty());

        const ByteSet first = 图标数据;
        convertPicture(fresh);
        EXPECT_EQ(图标数据, first) << "an opaque picture converts to the same bytes again";
    }
}

TEST_F(HandlersTest, ConvertingStretchesToTheWholeIcon) {
    chooseAndConvert("/p/wide.bmp", test::makeBmp24(100, 50, kRed));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(iconPixel(图标数据, 16, x, y), kRed) << x << "," << y;
        }
    }
}

TEST_F(HandlersTest, ConvertingWithoutAPictureWarnsAndKeepsTheEarlierIcon) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    const ByteSet icon = 图标数据;
    clearWorkArea(area);
    图标数据 = icon;
    convertPicture(area);
    EXPECT_EQ(area.messages, std::vector<std::string>{kNoPicture});
    EXPECT_EQ(图标数据, icon);
}

TEST_F(HandlersTest, ConvertingWithoutASizeDoesNothing) {
    area.位图画板1().setBackgroundPicture(test::makeBmp24(4, 4, kRed));
    convertPicture(area);
    EXPECT_TRUE(area.messages.empty());
    EXPECT_TRUE(图标数据.empty());
}

TEST_F(HandlersTest, UndecodableBytesAreDroppedOnceThePreviewHasShownThem) {
    area.radio1 = true;
    area.files["/p/not.png"] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    area.answers.push_back("/p/not.png");
    choosePicture(area);
    (void)area.位图画板1().paint();
    convertPicture(area);
    EXPECT_EQ(area.messages, std::vector<std::string>{kNoPicture});
    EXPECT_TRUE(图标数据.empty());
}

TEST_F(HandlersTest, UndecodableBytesReadBeforeAnyPaintConvertWhatTheCanvasHolds) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    area.位图画板1().setBackgroundPicture({'B', 'M', 0, 0, 0});
    convertPicture(area);
    ASSERT_EQ(图标数据.size(), 894u);
    EXPECT_EQ(iconPixel(图标数据, 16, 5, 5), kRed) << "the previous conversion stays on the canvas";

    clearWorkArea(area);
    area.位图画板1().setBackgroundPicture({'B', 'M', 0, 0, 0});
    convertPicture(area);
    EXPECT_EQ(iconPixel(图标数据, 16, 5, 5), kFace) << "a blank canvas gives the button face";
}

TEST_F(HandlersTest, TransparentIconPixelsKeepTheCanvasUntilClearOrSave) {
    // A 16x16 icon whose left half is transparent.
    const ByteSet icon = test::makeIco24(
        16, 16, [](int, int) { return kBlue; }, [](int x, int) { return x < 8; });
    chooseAndConvert("/p/red.bmp", test::makeBmp24(16, 16, kRed));
    area.files["/p/half.ico"] = icon;
    area.answers.push_back("/p/half.ico");
    choosePicture(area);
    convertPicture(area);
    EXPECT_EQ(iconPixel(图标数据, 16, 0, 0), kRed);
    EXPECT_EQ(iconPixel(图标数据, 16, 15, 0), kBlue);

    struct Reset {
        const char* what;
        std::function<void()> run;
    };
    const Reset resets[] = {
        {"clear", [&] { clearWorkArea(area); }},
        {"confirmed save",
         [&] {
             area.answers.push_back("/out/x.ico");
             saveIcon(area);
         }},
    };
    for (const Reset& reset : resets) {
        chooseAndConvert("/p/red.bmp", test::makeBmp24(16, 16, kRed));
        reset.run();
        area.位图画板1().setBackgroundPicture(icon);
        convertPicture(area);
        EXPECT_EQ(iconPixel(图标数据, 16, 0, 0), kFace) << reset.what;
        EXPECT_EQ(iconPixel(图标数据, 16, 15, 0), kBlue) << reset.what;
    }
}

TEST_F(HandlersTest, ACaptureOfTheWrongSizeLeavesNothingToSave) {
    FakeArea odd(15);  // an icon canvas that is not 16 x 16
    odd.radio1 = true;
    odd.位图画板1().setBackgroundPicture(test::makeBmp24(4, 4, kRed));
    convertPicture(odd);
    EXPECT_TRUE(图标数据.empty());
}

TEST_F(HandlersTest, SavingWithNothingConvertedOnlyWarns) {
    saveIcon(area);
    EXPECT_EQ(area.log, std::vector<std::string>{"message " + kNotConverted});
}

TEST_F(HandlersTest, ASavedIconIsWrittenAfterTheWorkAreaIsReset) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    const ByteSet icon = 图标数据;
    area.log.clear();
    area.answers.push_back("/out/red.ico");
    saveIcon(area);
    const std::vector<std::string> expected{"type 1",
                                            "filter 图标文件|*.ico",
                                            "name ",
                                            "extension ico",
                                            "show",
                                            "repaint 位图画板1",
                                            "repaint 图标画板1",
                                            "repaint 图标画板2",
                                            "write /out/red.ico"};
    EXPECT_EQ(area.log, expected);
    EXPECT_EQ(area.files["/out/red.ico"], icon);
    EXPECT_TRUE(图标数据.empty());
    EXPECT_TRUE(area.位图画板1().backgroundPicture().empty());
    EXPECT_EQ(area.图标画板1().capture(), Canvas(16, 16, Display{32, kFace}, true).capture());

    saveIcon(area);
    EXPECT_EQ(area.messages, std::vector<std::string>{kNotConverted});
}

TEST_F(HandlersTest, CancellingTheSaveDiscardsTheIconButKeepsThePreview) {
    const ByteSet picture = test::makeBmp24(4, 4, kRed);
    chooseAndConvert("/p/red.bmp", picture);
    area.answers.push_back("");
    saveIcon(area);
    EXPECT_TRUE(图标数据.empty());
    EXPECT_EQ(area.位图画板1().backgroundPicture(), picture);
    EXPECT_EQ(area.files.size(), 1u);
    saveIcon(area);
    EXPECT_EQ(area.messages, std::vector<std::string>{kNotConverted});
    convertPicture(area);
    EXPECT_EQ(图标数据.size(), 894u);
}

TEST_F(HandlersTest, AnEmptyNameWarnsAfterTheResetAndWritesNothing) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    area.log.clear();
    area.answers.push_back(kConfirmWithoutName);
    saveIcon(area);
    EXPECT_EQ(area.messages, std::vector<std::string>{kEmptyName});
    EXPECT_EQ(area.log.at(area.log.size() - 2), "repaint 图标画板2") << "reset before the warning";
    EXPECT_EQ(area.files.size(), 1u) << "nothing written";
    EXPECT_TRUE(图标数据.empty());
}

TEST_F(HandlersTest, AFailedWriteWarnsAndKeepsTheIconForAnotherTry) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    const ByteSet icon = 图标数据;
    area.failingWrites.insert("/ro/a.ico");
    area.answers = {"/ro/a.ico", "/ok/a.ico"};
    saveIcon(area);
    EXPECT_EQ(area.messages, std::vector<std::string>{kWriteFailed});
    EXPECT_EQ(图标数据, icon);
    EXPECT_TRUE(area.位图画板1().backgroundPicture().empty());
    saveIcon(area);
    EXPECT_EQ(area.files["/ok/a.ico"], icon);
    EXPECT_TRUE(图标数据.empty());
}

TEST_F(HandlersTest, ClearingResetsAllButTheSizeAndTheDialog) {
    chooseAndConvert("/p/red.bmp", test::makeBmp24(4, 4, kRed));
    clearWorkArea(area);
    EXPECT_TRUE(area.位图画板1().backgroundPicture().empty());
    EXPECT_TRUE(图标数据.empty());
    Canvas blank(16, 16, Display{32, kFace}, true);
    EXPECT_EQ(area.图标画板1().capture(), blank.capture());
    EXPECT_TRUE(area.radio1);
    EXPECT_EQ(area.fileName, "/p/red.bmp");
    EXPECT_TRUE(area.messages.empty());

    clearWorkArea(area);  // already clear: nothing to see, no message
    EXPECT_TRUE(area.messages.empty());
    convertPicture(area);
    saveIcon(area);
    EXPECT_EQ(area.messages, (std::vector<std::string>{kNoPicture, kNotConverted}));
}

}  // namespace
}  // namespace qingxiu
