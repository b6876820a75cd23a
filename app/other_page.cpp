#include "app/other_page.h"
#include "app/texts.h"

#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/user_messages.h"
#include "app/widgets.h"
#include "core/conv_table.h"
#include "core/extension.h"
#include "core/text.h"
#include "platform/name_codec.h"
#include "platform/phrase_converter.h"
#include "platform/table_file.h"

#include <QComboBox>

namespace nw::app {
namespace {

// What the user is told when OpenCC's data cannot be used: the file, the
// reason, and the way out.
QString phraseDataText(const PhraseLoadError& error) {
    const QString path = bytesToQt(error.path);
    const QString why = error.message.empty()
                            ? zh("找不到简繁转换数据“%1”。").arg(path)
                            : zh("无法读取简繁转换数据“%1”：%2。")
                                  .arg(path, QString::fromLocal8Bit(error.message.c_str()));
    return why + zh("请安装软件包 libopencc-data，或把“转换标准”改为“逐字转换（F2J.txt）”。");
}

} // namespace

void OtherPage::build(QPoint o) {
    Frame9 = named(new QGroupBox(zh("去掉文件名的部分字符"), this), "Frame9");
    place(Frame9, 120, 480, 3855, 1095, o);
    Label8 = named(new QLabel(zh("需要去掉的字符串："), Frame9), "Label8");
    place(Label8, 120, 240, 1620, 180);
    txtRemoveStr = named(new QLineEdit(Frame9), "txtRemoveStr");
    txtRemoveStr->setAccessibleName(zh("需要去掉的字符串"));
    place(txtRemoveStr, 120, 480, 2295, 320);
    cmdRemoveStr = named(new QPushButton(zh("改名"), Frame9), "cmdRemoveStr");
    place(cmdRemoveStr, 2760, 480, 855, 375);

    Frame10 = named(new QGroupBox(zh("修改文件扩展名"), this), "Frame10");
    place(Frame10, 120, 1680, 3855, 975, o);
    Label7 = named(new QLabel(zh("新扩展名:"), Frame10), "Label7");
    place(Label7, 120, 360, 810, 180);
    txtNewExt = named(new QLineEdit(Frame10), "txtNewExt");
    txtNewExt->setAccessibleName(zh("新扩展名"));
    txtNewExt->setToolTip(zh("只要输入扩展名，不需要前面的“.”符号"));
    place(txtNewExt, 960, 305, 1215, 320);
    cmdChangeExt = named(new QPushButton(zh("改名"), Frame10), "cmdChangeExt");
    place(cmdChangeExt, 2640, 360, 855, 375);

    Frame11 = named(new QGroupBox(zh("文件名简繁互转"), this), "Frame11");
    place(Frame11, 120, 2880, 3855, 1605, o);
    Label9 = named(new QLabel(zh("示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國"), Frame11),
                   "Label9");
    Label9->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Label9, 120, 360, 1575, 615);
    cmdF2J = named(new QPushButton(zh("繁体转简体"), Frame11), "cmdF2J");
    place(cmdF2J, 1920, 240, 1335, 375);
    cmdJ2F = named(new QPushButton(zh("简体转繁体"), Frame11), "cmdJ2F");
    place(cmdJ2F, 1920, 720, 1335, 375);
    lblStandard = named(new QLabel(zh("转换标准："), Frame11), "lblStandard");
    place(lblStandard, 120, 1230, 900, 180);
    cboStandard = named(new QComboBox(Frame11), "cboStandard");
    cboStandard->setAccessibleName(zh("简繁转换标准"));
    for (const Standard& s : standards())
        cboStandard->addItem(zh(s.caption));
    cboStandard->setCurrentIndex(0);
    lblStandard->setBuddy(cboStandard);
    place(cboStandard, 1080, 1170, 2535, 300);
    widenDropDown(*cboStandard);

    connect(cmdRemoveStr, &QPushButton::clicked, this, &OtherPage::cmdRemoveStr_Click);
    connect(cmdChangeExt, &QPushButton::clicked, this, &OtherPage::cmdChangeExt_Click);
    connect(cmdF2J, &QPushButton::clicked, this, &OtherPage::cmdF2J_Click);
    connect(cmdJ2F, &QPushButton::clicked, this, &OtherPage::cmdJ2F_Click);
    connect(cboStandard, &QComboBox::activated, this, &OtherPage::cboStandard_Click);
    changesSettings({txtRemoveStr, txtNewExt, cboStandard});
}

const std::vector<OtherPage::Standard>& OtherPage::standards() {
    static const std::vector<Standard> list{
        {"台湾正体", "s2tw.json", "tw2s.json"},
        {"香港繁体", "s2hk.json", "hk2s.json"},
        {"标准繁体", "s2t.json", "t2s.json"},
        {"台湾正体及用词", "s2twp.json", "tw2sp.json", true},
        {"逐字转换（F2J.txt）", nullptr, nullptr},
    };
    return list;
}

std::vector<std::pair<QPushButton*, QString>> OtherPage::applyButtons() const {
    return {{cmdChangeExt, zh("修改扩展名")},
            {cmdRemoveStr, zh("去掉部分字符")},
            {cmdF2J, zh("繁体转简体")},
            {cmdJ2F, zh("简体转繁体")}};
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
        return {{}, zh("请输入新扩展名")};
    // A "/" in it is refused with every new name, by the pass. A name holds
    // no "/", so the helpers look at it alone.
    return {[ext](FileSystem&) {
                RenameTool tool;
                tool.wantsEntry = [=](const std::u32string& name) {
                    return GetFileExt(name) != ext;
                };
                tool.transform = [=](int, const std::u32string& name) {
                    return TransformResult::of(ChangeFileExt(name, ext));
                };
                return tool;
            },
            {}};
}

ToolPlan OtherPage::removePlan() const {
    const std::u32string text = toU32(txtRemoveStr->text());
    if (text.empty())
        return {{}, zh("请输入需要去掉的字符串")};
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
    const Standard& standard =
        standards().at(static_cast<std::size_t>(cboStandard->currentIndex()));
    if (!standard.toTraditional)
        return tablePlan(toSimplified);
    const char* config = toSimplified ? standard.toSimplified : standard.toTraditional;
    PhraseLoadError error;
    const auto converter =
        m_phrases.get(config, toSimplified ? ChineseScript::Simplified : ChineseScript::Traditional,
                      error, standard.vocabulary && !toSimplified ? standard.toSimplified : "");
    if (!converter)
        return {{}, phraseDataText(error) + zh("没有文件被改名。")};
    return {[converter](FileSystem&) {
                RenameTool tool;
                tool.transform = [converter](int, const std::u32string& name) {
                    return TransformResult::of(converter->convert(name));
                };
                return tool;
            },
            {}};
}

ToolPlan OtherPage::tablePlan(bool toSimplified) const {
    const ConvTable& table = m_table;
    if (table.empty())
        return {{},
                zh("繁简转换表“%1”不存在或为空，没有文件被改名。")
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

int OtherPage::standardIndex() const { return cboStandard->currentIndex(); }

// Its data is loaded when it is first used, as any standard's.
void OtherPage::setStandardIndex(int i) { cboStandard->setCurrentIndex(i); }

void OtherPage::cboStandard_Click() {
    const Standard& standard =
        standards().at(static_cast<std::size_t>(cboStandard->currentIndex()));
    if (!standard.toTraditional)
        return;
    for (auto [config, script] : {std::pair{standard.toTraditional, ChineseScript::Traditional},
                                  {standard.toSimplified, ChineseScript::Simplified}}) {
        PhraseLoadError error;
        if (!m_phrases.get(config, script, error)) {
            showMessage(this, MessageKind::Warning, phraseDataText(error));
            return;
        }
    }
}

void OtherPage::cmdChangeExt_Click() { runButton(cmdChangeExt); }
void OtherPage::cmdRemoveStr_Click() { runButton(cmdRemoveStr); }
void OtherPage::cmdF2J_Click() { runButton(cmdF2J); }
void OtherPage::cmdJ2F_Click() { runButton(cmdJ2F); }

std::vector<QWidget*> OtherPage::focusChain() const {
    return {txtRemoveStr, txtNewExt, cboStandard, cmdF2J, cmdJ2F, cmdChangeExt, cmdRemoveStr};
}

} // namespace nw::app
