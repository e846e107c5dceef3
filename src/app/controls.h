#pragma once
// The main window's controls, by the names every window operation takes.

#include "foundation/text.h"

namespace kestrova::controls {

inline const Text groupBox = "分组框1";
inline const Text prompt = "标签1";
inline const Text keyword = "keyword";
inline const Text start = "开始";
inline const Text stop = "停止";
inline const Text results = "结果";
inline const Text status = "标签2";

}  // namespace kestrova::controls
