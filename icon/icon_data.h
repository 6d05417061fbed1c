#pragma once

#include "base/byte_set.h"

namespace qingxiu {

// The icon file assembled by the last conversion, waiting to be saved; empty when nothing is
// ready. The program's one global value: a conversion fills it, a save attempt that reaches the
// dialog and a clear empty it, and the exit routine releases it.
extern ByteSet 图标数据;

// The exit routine: releases whatever 图标数据 holds.
void releaseIconData();

}  // namespace qingxiu
