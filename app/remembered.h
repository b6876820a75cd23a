#pragma once
// What the window keeps between runs, in ~/.config/namewright/namewright.conf:
// its size and place, 转换标准, 排序方式 and the template of 文件信息.
// Nothing else is kept: every other control opens as it always does.
#include "platform/sort_order.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace nw::app {

struct Remembered {
    std::optional<QByteArray> geometry; // QWidget::saveGeometry
    std::optional<int> standard;        // 转换标准's item
    std::optional<SortOrder> sort;
    std::optional<QString> factsTemplate;
};

// The file, under the user's configuration folder (XDG_CONFIG_HOME).
QString rememberedFile();

// What was kept; a file that cannot be read, or a value that makes no sense,
// is passed over with a line on standard error.
Remembered readRemembered(int standards);
void writeRemembered(const Remembered& r);

} // namespace nw::app
