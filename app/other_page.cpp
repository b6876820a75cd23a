#include "app/other_page.h"

#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/user_messages.h"
#include "app/widgets.h"
#include "core/conv_table.h"
#include "core/extension.h"
#include "core/text.h"
#include "platform/name_codec.h"
#include "platform/table_file.h"

namespace nw::app {

void OtherPage::build(QPoint o) {
    Frame9 = named(new QGroupBox(QStringLiteral("去掉文件名的部分字符"), this), "Frame9");
    place(Frame9, 120, 480, 3855, 1095, o);
    Label8 = named(new QLabel(QStringLiteral("需要去掉的字符串："), Frame9), "Label8");
    place(Label8, 120, 240, 1620, 180);
    txtRemoveStr = named(new QLineEdit(Frame9), "txtRemoveStr");
    place(txtRemoveStr, 120, 480, 2295, 320);
    cmdRemoveStr = named(new QPushButton(QStringLiteral("改名"), Frame9), "cmdRemoveStr");
    place(cmdRemoveStr, 2760, 480, 855, 375);

    Frame10 = named(new QGroupBox(QStringLiteral("修改文件扩展名"), this), "Frame10");
    place(Frame10, 120, 1680, 3855, 975, o);
    Label7 = named(new QLabel(QStringLiteral("新扩展名:"), Frame10), "Label7");
    place(Label7, 120, 360, 810, 180);
    txtNewExt = named(new QLineEdit(Frame10), "txtNewExt");
    txtNewExt->setToolTip(QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
    place(txtNewExt, 960, 305, 1215, 320);
    cmdChangeExt = named(new QPushButton(QStringLiteral("改名"), Frame10), "cmdChangeExt");
    place(cmdChangeExt, 2640, 360, 855, 375);

    Frame11 = named(new QGroupBox(QStringLiteral("文件名简繁互转"), this), "Frame11");
    place(Frame11, 120, 2880, 3855, 1215, o);
    Label9 = named(
        new QLabel(QStringLiteral("示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國"), Frame11),
        "Label9");
    Label9->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label9, 120, 360, 1575, 615);
    cmdF2J = named(new QPushButton(QStringLiteral("繁体转简体"), Frame11), "cmdF2J");
    place(cmdF2J, 1920, 240, 1335, 375);
    cmdJ2F = named(new QPushButton(QStringLiteral("简体转繁体"), Frame11), "cmdJ2F");
    place(cmdJ2F, 1920, 720, 1335, 375);

    connect(cmdRemoveStr, &QPushButton::clicked, this, &OtherPage::cmdRemoveStr_Click);
    connect(cmdChangeExt, &QPushButton::clicked, this, &OtherPage::cmdChangeExt_Click);
    connect(cmdF2J, &QPushButton::clicked, this, &OtherPage::cmdF2J_Click);
    connect(cmdJ2F, &QPushButton::clicked, this, &OtherPage::cmdJ2F_Click);
}

std::vector<std::pair<QPushButton*, QString>> OtherPage::applyButtons() const {
    return {{cmdChangeExt, QStringLiteral("修改扩展名")},
            {cmdRemoveStr, QStringLiteral("去掉部分字符")},
            {cmdF2J, QStringLiteral("繁体转简体")},
            {cmdJ2F, QStringLiteral("简体转繁体")}};
}

ToolPlan OtherPage::plan(QPushButton* button, bool) {
    if (button == cmdChangeExt)
        return changeExtPlan();
    if (button == cmdRemoveStr)
        return removePlan();
    return chinesePlan(button == cmdF2J);
}

ToolPlan OtherPage::changeExtPlan() const {
    const std::u32string ext = TrimSpacesWide(toU32(txtNewExt->text()));
    if (ext.empty())
        return {{}, QStringLiteral("请输入新扩展名")};
    // A "/" in it is refused with every new name, by the pass.
    std::u32string folder = decodeName(m_ctx.list.Path());
    if (folder.empty() || folder.back() != U'/')
        folder += U'/';
    return {[ext, folder](FileSystem&) {
                RenameTool tool;
                tool.wantsEntry = [=](const std::u32string& name) {
                    return GetFileExt(folder + name) != ext;
                };
                tool.transform = [=](int, const std::u32string& name) {
                    return TransformResult::of(
                        ChangeFileExt(folder + name, ext).substr(folder.size()));
                };
                return tool;
            },
            {}};
}

ToolPlan OtherPage::removePlan() const {
    const std::u32string text = toU32(txtRemoveStr->text());
    if (text.empty())
        return {{}, QStringLiteral("请输入需要去掉的字符串")};
    return {[text](FileSystem&) {
                RenameTool tool;
                tool.wantsEntry = [=](const std::u32string& name) {
                    return name.find(text) != std::u32string::npos;
                };
                tool.transform = [=](int, const std::u32string& name) {
                    return TransformResult::of(RemoveFirst(name, text).value_or(name));
                };
                return tool;
            },
            {}};
}

ToolPlan OtherPage::chinesePlan(bool toSimplified) const {
    const ConvTable& table = m_table;
    if (table.empty())
        return {{},
                QStringLiteral("繁简转换表“%1”不存在或为空，没有文件被改名。")
                    .arg(bytesToQt(joinPath(m_tableFolder, kConvTableFileName)))};
    return {[&table, toSimplified](FileSystem&) {
                RenameTool tool;
                tool.transform = [&table, toSimplified](int, const std::u32string& name) {
                    return TransformResult::of(toSimplified ? StrF2J(table, name)
                                                            : StrJ2F(table, name));
                };
                return tool;
            },
            {}};
}

void OtherPage::cmdChangeExt_Click() { runButton(cmdChangeExt); }
void OtherPage::cmdRemoveStr_Click() { runButton(cmdRemoveStr); }
void OtherPage::cmdF2J_Click() { runButton(cmdF2J); }
void OtherPage::cmdJ2F_Click() { runButton(cmdJ2F); }

std::vector<QWidget*> OtherPage::focusChain() const {
    return {txtRemoveStr, txtNewExt, cmdF2J, cmdJ2F, cmdChangeExt, cmdRemoveStr};
}

} // namespace nw::app
