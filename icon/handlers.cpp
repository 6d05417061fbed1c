#include "icon/handlers.h"

#include <optional>

#include "icon/icon_data.h"
#include "icon/templates.h"
#include "picture/picture.h"

namespace qingxiu {
namespace {

const std::string kCaption = "警告";
const std::string kPictureFilter =
    "图像文件|*.bmp;*.jpg;*.gif;*.tif;*.pcx;*.ico;*.cur;*.png|所有文件(*.*)|*.*";
const std::string kIconFilter = "图标文件|*.ico";

// A capture is a 54-byte BMP header followed by the pixel rows.
constexpr std::int64_t kCaptureHeaderLength = 54;

void warn(WorkArea& area, const std::string& text) {
    area.messageBox(text, kWarningStyle, kCaption);
}

// Draws the preview's picture stretched onto the icon canvas, captures the canvas and splices
// the capture's pixel rows into the colour area of 图标数据. The icon canvas is not cleared
// first: the picture's transparent pixels keep what it held.
void imageStep(Canvas& preview, Canvas& iconCanvas, const IconLayout& layout) {
    const ByteSet bytes = preview.backgroundPicture();
    {
        // The loaded picture serves this one draw and is released right after it.
        const std::optional<Picture> picture = decode(bytes);
        iconCanvas.drawPicture(picture ? &*picture : nullptr, Rect{0, 0, layout.side, layout.side});
    }
    const ByteSet capture = iconCanvas.capture();
    // A capture of another length would splice rows that do not fit the colour area and leave
    // a file that disagrees with its own directory; such a conversion yields nothing to save.
    if (static_cast<std::int64_t>(capture.size()) != kCaptureHeaderLength + layout.colourLength) {
        releaseIconData();
        return;
    }
    const ByteSet rows = right(capture, layout.colourLength);
    图标数据 = replaced(图标数据, layout.colourPosition, layout.colourLength, rows);
}

void convert(WorkArea& area, SizeMode mode, Canvas& iconCanvas) {
    图标数据 = templateFor(mode);
    imageStep(area.位图画板1(), iconCanvas, layoutOf(mode));
}

}  // namespace

void choosePicture(WorkArea& area) {
    CommonDialog& dialog = area.通用对话框1();
    dialog.setFilter(kPictureFilter);
    dialog.setType(DialogType::Open);
    dialog.setDefaultExtension("");
    if (!area.checked(单选框1) && !area.checked(单选框2)) {
        warn(area, "请先设置欲转换的图标大小!");
        return;
    }
    if (!dialog.show()) {
        return;
    }
    const std::string name = dialog.fileName();
    const ByteSet bytes = area.readFile(name);
    area.位图画板1().setBackgroundPicture(bytes);
}

void convertPicture(WorkArea& area) {
    if (compare(area.位图画板1().backgroundPicture(), ByteSet{}) == 0) {
        warn(area, "未载入要转换的图标文件！");
        return;
    }
    if (area.checked(单选框1)) {
        convert(area, SizeMode::Small16, area.图标画板1());
    } else if (area.checked(单选框2)) {
        convert(area, SizeMode::Large32, area.图标画板2());
    }
}

void saveIcon(WorkArea& area) {
    if (图标数据.empty()) {
        warn(area, "图标未转换！请先点击转换按钮在保存！");
        return;
    }
    CommonDialog& dialog = area.通用对话框1();
    dialog.setType(DialogType::Save);
    dialog.setFilter(kIconFilter);
    dialog.setFileName("");
    dialog.setDefaultExtension("ico");
    if (dialog.show()) {
        const std::string name = dialog.fileName();
        area.位图画板1().setBackgroundPicture(ByteSet{});
        area.图标画板1().clear();
        area.图标画板2().clear();
        if (name != "") {
            // A failed write keeps the icon, so that 保存 can be tried again at once instead of
            // the conversion being lost while the user believes it saved.
            if (!area.writeFile(name, 图标数据)) {
                warn(area, "图标文件保存失败！");
                return;
            }
        } else {
            warn(area, "文件名称不能为空！");
        }
    }
    releaseIconData();
}

void clearWorkArea(WorkArea& area) {
    area.位图画板1().setBackgroundPicture(ByteSet{});
    area.图标画板1().clear();
    area.图标画板2().clear();
    releaseIconData();
}

}  // namespace qingxiu
