#include "app/find_replace_page.h"
#include "app/file_list_box.h"
#include "app/texts.h"

#include "app/failure_text.h"

#include "app/qt_text.h"
#include "app/twips.h"
#include "app/user_messages.h"
#include "app/widgets.h"
#include "platform/name_regex.h"

#include <QCheckBox>

namespace nw::app {
namespace {

// ICU's errors a user is likely to make, said in Chinese.
QString regexErrorText(const RegexError& e) {
    static const std::pair<const char*, const char*> known[] = {
        {"U_REGEX_MISMATCHED_PAREN", "括号不配对"},
        {"U_REGEX_RULE_SYNTAX", "语法错误"},
        {"U_REGEX_BAD_ESCAPE_SEQUENCE", "“\\”后的字符不对"},
        {"U_REGEX_MISSING_CLOSE_BRACKET", "缺少“]”"},
        {"U_REGEX_BAD_INTERVAL", "“{}”中的次数不对"},
        {"U_REGEX_MAX_LT_MIN", "“{}”中的最大次数小于最小次数"},
        {"U_REGEX_INVALID_RANGE", "字符范围不对"},
        {"U_REGEX_INVALID_CAPTURE_GROUP_NAME", "分组名称不对"},
        {"U_REGEX_PROPERTY_SYNTAX", "字符属性写法不对"},
        {"U_REGEX_LOOK_BEHIND_LIMIT", "向后查看的长度必须有上限"},
    };
    QString what = zh("写法不对（%1）").arg(QString::fromStdString(e.code));
    for (const auto& [code, text] : known)
        if (e.code == code)
            what = zh(text);
    if (e.offset >= 0)
        return zh("正则表达式有误：第 %1 个字符处%2").arg(e.offset + 1).arg(what);
    return zh("正则表达式有误：%1").arg(what);
}

} // namespace

void FindReplacePage::build(QPoint o) {
    fraFind = named(new QGroupBox(zh("查找和替换"), this), "fraFind");
    place(fraFind, 120, 480, 3855, 1440, o);
    lblFind = named(new QLabel(zh("查找内容："), fraFind), "lblFind");
    place(lblFind, 120, 300, 960, 180);
    txtFind = named(new QLineEdit(fraFind), "txtFind");
    txtFind->setAccessibleName(zh("查找内容"));
    lblFind->setBuddy(txtFind);
    place(txtFind, 1080, 240, 2655, 320);
    lblReplace = named(new QLabel(zh("替换为："), fraFind), "lblReplace");
    place(lblReplace, 120, 720, 960, 180);
    txtReplace = named(new QLineEdit(fraFind), "txtReplace");
    txtReplace->setAccessibleName(zh("替换为"));
    lblReplace->setBuddy(txtReplace);
    place(txtReplace, 1080, 660, 2655, 320);
    chkMatchCase = named(new QCheckBox(zh("区分大小写"), fraFind), "chkMatchCase");
    place(chkMatchCase, 120, 1080, 1230, 255);
    chkRegex = named(new QCheckBox(zh("正则表达式"), fraFind), "chkRegex");
    place(chkRegex, 1410, 1080, 1230, 255);
    chkReplaceAll = named(new QCheckBox(zh("全部替换"), fraFind), "chkReplaceAll");
    chkReplaceAll->setChecked(true);
    place(chkReplaceAll, 2700, 1080, 1050, 255);

    fraRange = named(new QGroupBox(zh("查找范围"), this), "fraRange");
    place(fraRange, 120, 2040, 1545, 735, o);
    chkPrefix = named(new QCheckBox(zh("前缀"), fraRange), "chkPrefix");
    chkPrefix->setChecked(true);
    chkPrefix->setAccessibleName(zh("查找范围：前缀"));
    place(chkPrefix, 120, 360, 675, 255);
    chkSuffix = named(new QCheckBox(zh("后缀"), fraRange), "chkSuffix");
    chkSuffix->setChecked(true);
    chkSuffix->setAccessibleName(zh("查找范围：后缀"));
    place(chkSuffix, 810, 360, 675, 255);

    fraExample = named(new QGroupBox(zh("示例"), this), "fraExample");
    place(fraExample, 1770, 2040, 2205, 1815, o);
    lblSourceCaption = named(new QLabel(zh("原文件名为："), fraExample), "lblSourceCaption");
    place(lblSourceCaption, 120, 300, 1080, 180);
    lblFindSource = named(new QLabel(QString::fromUtf8(kSample), fraExample), "lblFindSource");
    place(lblFindSource, 120, 540, 1965, 180);
    lblTargetCaption = named(new QLabel(zh("替换后成为："), fraExample), "lblTargetCaption");
    place(lblTargetCaption, 120, 900, 1080, 180);
    lblFindTarget = redLabel(named(new QLabel(fraExample), "lblFindTarget"));
    lblFindTarget->setWordWrap(true);
    lblFindTarget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblFindTarget, 120, 1140, 1965, 540);

    cmdReplace = named(new QPushButton(zh("替换"), this), "cmdReplace");
    place(cmdReplace, 240, 3960, 4335, 495, o);

    for (QLineEdit* e : {txtFind, txtReplace})
        connect(e, &QLineEdit::textChanged, this, &FindReplacePage::updateExample);
    for (QCheckBox* c : {chkMatchCase, chkRegex, chkReplaceAll, chkPrefix, chkSuffix})
        connect(c, &QCheckBox::toggled, this, &FindReplacePage::updateExample);
    connect(txtReplace, &QLineEdit::returnPressed, this,
            [this] { emit previewRequested(cmdReplace); });
    connect(cmdReplace, &QPushButton::clicked, this, &FindReplacePage::cmdReplace_Click);
    changesSettings(
        {txtFind, txtReplace, chkMatchCase, chkRegex, chkReplaceAll, chkPrefix, chkSuffix});
    updateExample();
}

FindReplaceSettings FindReplacePage::settings() const {
    FindReplaceSettings s;
    s.find = toU32(txtFind->text());
    s.replacement = toU32(txtReplace->text());
    s.matchCase = chkMatchCase->isChecked();
    s.regex = chkRegex->isChecked();
    s.replaceAll = chkReplaceAll->isChecked();
    s.prefix = chkPrefix->isChecked();
    s.suffix = chkSuffix->isChecked();
    return s;
}

FindReplacePage::Compiled FindReplacePage::compile() const {
    const FindReplaceSettings s = settings();
    if (!s.regex || s.find.empty())
        return {};
    auto r = NameRegex::compile(s.find, s.matchCase);
    if (auto* e = std::get_if<RegexError>(&r))
        return {nullptr, regexErrorText(*e)};
    return {std::get<std::shared_ptr<const NameRegex>>(r), {}};
}

void FindReplacePage::updateExample() {
    const FindReplaceSettings s = settings();
    const Compiled c = compile();
    if (!c.error.isEmpty()) {
        lblFindTarget->setText(c.error);
        return;
    }
    const ReplaceResult r = ReplaceInName(
        toU32(QString::fromUtf8(kSample)), s,
        (c.regex ? regexReplace(c.regex, s.replacement, s.replaceAll) : RegexReplace{}));
    switch (r.outcome) {
    case ReplaceOutcome::Done: lblFindTarget->setText(toQt(r.name)); break;
    case ReplaceOutcome::TimedOut: lblFindTarget->setText(patternTimedOutText()); break;
    case ReplaceOutcome::BadReplacement: lblFindTarget->setText(missingGroupText()); break;
    }
}

std::vector<std::pair<QPushButton*, QString>> FindReplacePage::applyButtons() const {
    return {{cmdReplace, zh("查找替换")}};
}

ToolPlan FindReplacePage::plan(QPushButton*, bool preview) {
    const FindReplaceSettings s = settings();
    if (s.find.empty())
        return {{}, zh("请输入查找内容")};
    if (!s.prefix && !s.suffix)
        return {{}, zh("请在“查找范围”中勾选“前缀”或“后缀”")};
    const Compiled c = compile();
    if (!c.error.isEmpty())
        return {{}, c.error};
    const RegexReplace regex =
        (c.regex ? regexReplace(c.regex, s.replacement, s.replaceAll) : RegexReplace{});
    return {[this, s, regex, preview](FileSystem& fs) {
                RenameTool tool;
                tool.transform = [s, regex](int, const std::u32string& name) {
                    const ReplaceResult r = ReplaceInName(name, s, regex);
                    switch (r.outcome) {
                    case ReplaceOutcome::Done:
                        return r.name == name ? TransformResult::left(LeftReason::Tool)
                                              : TransformResult::of(r.name);
                    case ReplaceOutcome::TimedOut:
                        return TransformResult::fail(FailureReason::PatternTimedOut);
                    case ReplaceOutcome::BadReplacement: break;
                    }
                    return TransformResult::fail(FailureReason::BadReplacement);
                };
                m_existing.install(tool, fs, window(), preview, &m_ctx.list);
                return tool;
            },
            {}};
}

void FindReplacePage::cmdReplace_Click() {
    m_existing.start();
    runButton(cmdReplace);
    m_existing.reportSkipped(window());
}

std::vector<QWidget*> FindReplacePage::focusChain() const {
    return {txtFind,       txtReplace, chkMatchCase, chkRegex,
            chkReplaceAll, chkPrefix,  chkSuffix,    cmdReplace};
}

} // namespace nw::app
