#include "icon/icon_data.h"

namespace qingxiu {

ByteSet 图标数据;

void releaseIconData() {
    ByteSet().swap(图标数据);
}

}  // namespace qingxiu
