#include "app/about_page.h"
#include "app/texts.h"

#include "app/twips.h"
#include "app/widgets.h"

namespace nw::app {

void AboutPage::build(QPoint o) {
    // The program has no web site or telephone line of its own: the page
    // says what it is and where its help is, nothing that reaches nobody.
    Label5 =
        named(new QLabel(QStringLiteral("Namewright %1").arg(QStringLiteral(NW_VERSION)), this),
              "Label5");
    place(Label5, 420, 720, 4000, 180, o);
    Label6 = named(new QLabel(zh("许可：程序代码为 MIT 许可；\n"
                                 "因链接 exiv2，程序整体按 GPL-2+ 发布"),
                              this),
                   "Label6");
    place(Label6, 420, 1080, 4200, 480, o);
    lblLibraries = named(new QLabel(zh("使用的库：Qt、ICU、OpenCC、\n"
                                       "exiv2、libheif、TagLib、FFmpeg"),
                                    this),
                         "lblLibraries");
    place(lblLibraries, 420, 1680, 4200, 480, o);
    lblGuide = named(new QLabel(zh("使用说明：在终端输入 man namewright"), this), "lblGuide");
    place(lblGuide, 420, 2280, 4200, 180, o);
    cmdExit = named(new QPushButton(zh("退出"), this), "cmdExit");
    place(cmdExit, 960, 3120, 3135, 855, o);
    connect(cmdExit, &QPushButton::clicked, this, &AboutPage::exitRequested);
}

std::vector<QWidget*> AboutPage::focusChain() const { return {cmdExit}; }

} // namespace nw::app
