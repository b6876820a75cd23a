#include "app/list_tooltip.h"
#include "app/texts.h"

#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "platform/code_pages.h"

#include <algorithm>
#include <cmath>

namespace nw::app {
namespace {

// Rounds half to even, as the tooltip's index arithmetic asks.
long roundEven(double v) { return std::lrint(v); }

} // namespace

QString listItemToolTip(FileListBox& ListX, float iY) {
    // Qt's rows are taller than a line of text, so the entry height is the
    // list's own row height. Measuring in the list's font leaves the window's
    // font untouched.
    const int count = ListX.ListCount();
    const int rowPx = count > 0 ? ListX.sizeHintForRow(0) : ListX.fontMetrics().height();
    const long h = std::max(1L, roundEven(double(rowPx) * kTwipsPerPixel));
    const long k = long(ListX.topIndex()) + roundEven(double(iY)) / h;
    if (k < 0 || k >= count)
        return {};
    const QString name = shownName(ListX.List(int(k)));
    // The list's frame and its vertical scroll bar take this much of its width.
    constexpr int kListChromeTwips = 450;
    const float w = float(ListX.width() * kTwipsPerPixel - kListChromeTwips);
    const float tw = float(ListX.fontMetrics().horizontalAdvance(name) * kTwipsPerPixel);
    QString tip = w < tw ? name : QString();
    // A grey name says which code page it was read in, and why it is grey.
    if (const NameEncoding e = ListX.Encoding(int(k)); e != NameEncoding::Utf8) {
        const QString code = QLatin1String(encodingLabel(e));
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) +
               (ListX.AlsoUtf8(int(k))
                    ? zh("旧编码文件名（%1）\n灰色：这些字节按 UTF-8 读不成常见的文字，"
                         "按 %1 读出。")
                          .arg(code)
                    : zh("旧编码文件名（%1）\n灰色：文件名不是 UTF-8，按 %1 读出。").arg(code));
        tip += ListX.Unsure(int(k)) ? zh("\n无法确定文件名的编码：按字符改名的功能不会处理它。"
                                         "可在右键菜单的“文件名编码”中选择正确的编码。")
                                    : zh("右键菜单的“文件名转为UTF-8”可以转换。");
    }
    return tip;
}

} // namespace nw::app
