#pragma once

#include "icon/work_area.h"

namespace qingxiu {

// The click handlers of the main window's four buttons.

// 选择图片: picks a picture file and makes its bytes the preview's background picture.
void choosePicture(WorkArea& area);
// 转换: turns the preview's picture into a complete icon file in 图标数据.
void convertPicture(WorkArea& area);
// 保存: writes 图标数据 to a file named in the save dialog and resets the work area.
void saveIcon(WorkArea& area);
// 清除: empties the preview, blanks both icon canvases and discards 图标数据.
void clearWorkArea(WorkArea& area);

}  // namespace qingxiu
