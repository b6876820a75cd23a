#include "app/facts_page.h"
#include "app/texts.h"

#include "app/answering.h"
#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <thread>

namespace nw::app {
namespace {

QString templateErrorText(const TemplateError& e) {
    using K = TemplateError::Kind;
    switch (e.kind) {
    case K::Empty: return zh("请输入模板，例如 {拍摄日期:yyyy-MM-dd HHmmss}");
    case K::Unclosed: return zh("模板中的“{”没有配对的“}”");
    case K::Unopened: return zh("模板中的“}”没有配对的“{”（要写“}”本身，请写“}}”）");
    case K::UnknownField: return zh("模板中没有“{%1}”这个字段").arg(toQt(e.what));
    case K::BadFormat:
        return zh("“{%1}”的格式不对：只有日期和时间字段可以在冒号后写格式").arg(toQt(e.what));
    }
    return {};
}

// The number text of the next entry, by 批量改名's rules; number advances
// only where the caller keeps the copy.
std::optional<std::u32string> nextNumber(const CustomNameSettings& numbering, RunningNumber& n,
                                         std::optional<CustomNameError>& error) {
    CustomNameSettings s = numbering;
    s.customText.clear();
    s.placement = TextPlacement::ReplacePrefix;
    const CustomNameResult r = BuildCustomName(U"", s, n);
    error = r.error;
    return r.name;
}

} // namespace

void FactsPage::build(QPoint o) {
    fraTemplate = named(new QGroupBox(zh("模板"), this), "fraTemplate");
    place(fraTemplate, 240, 480, 4335, 1010, o);
    txtTemplate = named(new QLineEdit(fraTemplate), "txtTemplate");
    txtTemplate->setAccessibleName(zh("新文件名的模板"));
    txtTemplate->setPlaceholderText(zh("例如 {拍摄日期:yyyy-MM-dd HHmmss}"));
    place(txtTemplate, 120, 240, 3015, 320);
    cmdInsertField = named(new QPushButton(zh("插入字段"), fraTemplate), "cmdInsertField");
    place(cmdInsertField, 3195, 225, 1020, 350);
    mnuFields = named(new QMenu(cmdInsertField), "mnuFields");
    cmdInsertField->setMenu(mnuFields);
    chkTakenFromModified =
        named(new QCheckBox(zh("没有拍摄日期时用修改日期"), fraTemplate), "chkTakenFromModified");
    place(chkTakenFromModified, 120, 660, 3000, 255);

    // The fields, each inserted where the cursor stands; the dates with a
    // few formats.
    const char* const dateFormats[] = {"yyyy-MM-dd", "yyyyMMdd_HHmmss", "yyyy-MM-dd HHmmss",
                                       "yyyy年M月d日", "HHmmss"};
    const Field groups[][6] = {
        {Field::TakenDate, Field::TakenTime, Field::Camera, Field::Width, Field::Height,
         Field::TakenDate},
        {Field::Artist, Field::Title, Field::Album, Field::Track, Field::Year, Field::Disc},
        {Field::ModifiedDate, Field::ModifiedTime, Field::OriginalName, Field::Extension,
         Field::Number, Field::Number},
    };
    const int counts[] = {5, 6, 5};
    const char* const headings[] = {"照片和视频", "音乐", "所有文件"};
    for (std::size_t g = 0; g < 3; ++g) {
        mnuFields->addSection(zh(headings[g]));
        for (int k = 0; k < counts[g]; ++k) {
            const Field f = groups[g][k];
            const QString field =
                QStringLiteral("{%1}").arg(toQt(std::u32string(fieldName(f, traditional()))));
            if (!isDateField(f)) {
                connect(mnuFields->addAction(field), &QAction::triggered, this,
                        [this, field] { insertField(field); });
                continue;
            }
            QMenu* formats = mnuFields->addMenu(field);
            connect(formats->addAction(field), &QAction::triggered, this,
                    [this, field] { insertField(field); });
            for (const char* format : dateFormats) {
                const QString withFormat = QStringLiteral("{%1:%2}").arg(
                    toQt(std::u32string(fieldName(f, traditional()))), QString::fromUtf8(format));
                connect(formats->addAction(withFormat), &QAction::triggered, this,
                        [this, withFormat] { insertField(withFormat); });
            }
        }
    }

    fraFactsPlace = named(new QGroupBox(zh("文件信息位置"), this), "fraFactsPlace");
    place(fraFactsPlace, 240, 1550, 4335, 600, o);
    const char* captions[] = {"替换前缀", "在前缀的前面", "在前缀的后面"};
    const int lefts[] = {120, 1320, 2760};
    for (std::size_t i = 0; i < 3; ++i) {
        optFactsPlace[i] = named(new QRadioButton(zh(captions[i]), fraFactsPlace),
                                 indexed("optFactsPlace", int(i)));
        optFactsPlace[i]->setAccessibleName(zh("文件信息位置：") + zh(captions[i]));
        place(optFactsPlace[i], lefts[i], 270, i == 0 ? 1095 : 1455, 255);
    }
    optFactsPlace[0]->setChecked(true);

    fraFactsExample = named(new QGroupBox(zh("示例"), this), "fraFactsExample");
    place(fraFactsExample, 240, 2210, 4335, 1670, o);
    lblFactsSourceCaption =
        named(new QLabel(zh("原文件名为："), fraFactsExample), "lblFactsSourceCaption");
    place(lblFactsSourceCaption, 120, 300, 1080, 180);
    lblFactsSource = named(new QLabel(zh("请先选择文件"), fraFactsExample), "lblFactsSource");
    place(lblFactsSource, 1200, 300, 3015, 180);
    lblFactsTargetCaption =
        named(new QLabel(zh("转换后成为："), fraFactsExample), "lblFactsTargetCaption");
    place(lblFactsTargetCaption, 120, 660, 1080, 180);
    lblFactsTarget = redLabel(named(new QLabel(fraFactsExample), "lblFactsTarget"));
    lblFactsTarget->setWordWrap(true);
    lblFactsTarget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblFactsTarget, 1200, 660, 3015, 900);

    cmdFacts = named(new QPushButton(zh("改名"), this), "cmdFacts");
    place(cmdFacts, 240, 3960, 4335, 495, o);

    m_examplePoll = new QTimer(this);
    m_examplePoll->setInterval(50);
    connect(m_examplePoll, &QTimer::timeout, this, &FactsPage::showExample);
    connect(txtTemplate, &QLineEdit::textChanged, this, &FactsPage::updateExample);
    connect(chkTakenFromModified, &QCheckBox::toggled, this, &FactsPage::updateExample);
    for (QRadioButton* r : optFactsPlace)
        connect(r, &QRadioButton::toggled, this, &FactsPage::updateExample);
    connect(m_ctx.list.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &FactsPage::updateExample);
    // Another folder: what is being read of this one is no longer wanted.
    connect(m_ctx.list.model(), &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_cancel->store(true); });
    connect(m_ctx.list.model(), &QAbstractItemModel::modelReset, this, &FactsPage::updateExample);
    connect(cmdFacts, &QPushButton::clicked, this, &FactsPage::cmdFacts_Click);
    changesSettings(
        {txtTemplate, chkTakenFromModified, optFactsPlace[0], optFactsPlace[1], optFactsPlace[2]});
    updateExample();
}

QString FactsPage::templateText() const { return txtTemplate->text(); }

void FactsPage::setTemplateText(const QString& text) { txtTemplate->setText(text); }

void FactsPage::insertField(const QString& text) {
    txtTemplate->insert(text);
    txtTemplate->setFocus();
}

FactsPlacement FactsPage::placement() const {
    if (optFactsPlace[1]->isChecked())
        return FactsPlacement::BeforePrefix;
    if (optFactsPlace[2]->isChecked())
        return FactsPlacement::AfterPrefix;
    return FactsPlacement::ReplacePrefix;
}

QString FactsPage::templateRefusal() const {
    const auto t = parseTemplate(toU32(txtTemplate->text()));
    if (const auto* e = std::get_if<TemplateError>(&t))
        return templateErrorText(*e);
    if (usesField(std::get<NameTemplate>(t), Field::Number)) {
        const CustomNameSettings n = m_numbering();
        if (!ParseStart(n.startText).valid)
            return startRefusalText();
        if (!ParseWidth(n.widthText))
            return widthRefusalText();
    }
    return {};
}

void FactsPage::updateExample() {
    if (!lblFactsTarget)
        return;
    int first = -1;
    for (int i = 0; i < m_ctx.list.ListCount() && first < 0; ++i)
        if (m_ctx.list.Selected(i))
            first = i;
    if (first < 0) {
        m_example.reset();
        m_exampleName.clear();
        lblFactsSource->setText(zh("请先选择文件"));
        lblFactsSource->setToolTip({});
        const QString why = templateRefusal();
        lblFactsTarget->setText(why.isEmpty() ? zh("请先选择文件") : why);
        return;
    }
    // A long name loses its middle here; the whole of it is in the tooltip.
    m_exampleName = m_ctx.list.List(first);
    const QString shown = toQt(m_exampleName);
    lblFactsSource->setText(
        lblFactsSource->fontMetrics().elidedText(shown, Qt::ElideMiddle, lblFactsSource->width()));
    lblFactsSource->setToolTip(shown);
    const std::string path = m_ctx.list.Path() + "/" + m_ctx.list.PathBytes(first);
    if (m_example && m_example->path == path) {
        showExample();
        return;
    }
    // Read on a thread of its own (a file on a slow drive must not hold the
    // window); the reading shares nothing with the page but this job.
    auto job = std::make_shared<Example>();
    job->path = path;
    m_example = job;
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_exampleReading = true;
    m_exampleDone = done;
    lblFactsTarget->setText(zh("正在读取文件信息…"));
    std::thread([job, done] {
        job->raw = std::make_shared<const RawFacts>(readFileFacts(job->path));
        done->store(true);
    }).detach();
    m_examplePoll->start();
}

void FactsPage::showExample() {
    if (!m_example || !m_exampleDone || !m_exampleDone->load())
        return;
    m_examplePoll->stop();
    m_exampleReading = false;
    if (const QString why = templateRefusal(); !why.isEmpty()) {
        lblFactsTarget->setText(why);
        return;
    }
    const RawFacts& raw = *m_example->raw;
    if (raw.status == RawFacts::Status::Unreadable) {
        lblFactsTarget->setText(leftText(LeftReason::NoFacts, 0));
        return;
    }
    const NameTemplate t = std::get<NameTemplate>(parseTemplate(toU32(txtTemplate->text())));
    const FileFacts facts = settleFacts(raw, judgeTagCodePage({&raw}));
    RunningNumber n;
    std::optional<CustomNameError> error;
    const std::u32string number = usesField(t, Field::Number)
                                      ? nextNumber(m_numbering(), n, error).value_or(U"")
                                      : std::u32string();
    const std::u32string& oldName = m_exampleName;
    const TemplateResult r =
        fillTemplate(t, facts, oldName, number, chkTakenFromModified->isChecked());
    if (r.missing)
        lblFactsTarget->setText(leftText(LeftReason::MissingField, 0,
                                         std::u32string(fieldName(*r.missing, traditional()))));
    else
        lblFactsTarget->setText(toQt(placeFilled(oldName, *r.text, placement())));
}

FactsPage::Read FactsPage::readSelected() {
    Read out;
    const int n = m_ctx.list.ListCount();
    out.facts.resize(static_cast<std::size_t>(n));
    out.codePage.resize(static_cast<std::size_t>(n));
    std::vector<int> index;
    std::vector<std::string> paths;
    for (int i = 0; i < n; ++i)
        if (m_ctx.list.Selected(i)) {
            index.push_back(i);
            paths.push_back(m_ctx.list.Path() + "/" + m_ctx.list.PathBytes(i));
        }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancel;
    std::vector<std::shared_ptr<const RawFacts>> raws;
    runAnswering([&] { raws = readAllFacts(sharedFactsCache(), paths, cancel.get(), nullptr); });
    if (cancel->load()) {
        out.cancelled = true;
        return out;
    }
    // Legacy tags are judged over all the files chosen together, as a
    // folder's names are.
    std::vector<const RawFacts*> all;
    for (const auto& r : raws)
        all.push_back(r.get());
    const CodePageJudgement judgement = judgeTagCodePage(all);
    for (std::size_t k = 0; k < index.size(); ++k) {
        const auto at = static_cast<std::size_t>(index[k]);
        if (raws[k] && raws[k]->status == RawFacts::Status::Read)
            out.facts[at] = settleFacts(*raws[k], judgement, &out.codePage[at]);
    }
    return out;
}

std::vector<std::pair<QPushButton*, QString>> FactsPage::applyButtons() const {
    return {{cmdFacts, zh("文件信息")}};
}

ToolPlan FactsPage::plan(QPushButton*, bool preview) {
    if (const QString why = templateRefusal(); !why.isEmpty())
        return {{}, why};
    const NameTemplate t = std::get<NameTemplate>(parseTemplate(toU32(txtTemplate->text())));
    auto read = std::make_shared<const Read>(readSelected());
    if (read->cancelled)
        return {{}, {}};
    const bool fromModified = chkTakenFromModified->isChecked();
    const FactsPlacement where = placement();
    const CustomNameSettings numbering = m_numbering();
    const bool numbered = usesField(t, Field::Number);
    return {[this, t, read, fromModified, where, numbering, numbered, preview](FileSystem& fs) {
                RenameTool tool;
                auto number = std::make_shared<RunningNumber>();
                tool.transform = [t, read, fromModified, where, numbering, numbered,
                                  number](int i, const std::u32string& name) {
                    const auto at = static_cast<std::size_t>(i);
                    if (at >= read->facts.size() || !read->facts[at])
                        return TransformResult::left(LeftReason::NoFacts);
                    RunningNumber next = *number;
                    std::u32string numberText;
                    if (numbered) {
                        std::optional<CustomNameError> error;
                        const auto text = nextNumber(numbering, next, error);
                        if (!text)
                            return TransformResult::fail(
                                reasonOf(error.value_or(CustomNameError::NumberOverflow)));
                        numberText = *text;
                    }
                    const TemplateResult r =
                        fillTemplate(t, *read->facts[at], name, numberText, fromModified);
                    if (r.missing) {
                        TransformResult left = TransformResult::left(LeftReason::MissingField);
                        left.note = fieldName(*r.missing, traditional());
                        return left;
                    }
                    *number = next;
                    TransformResult made = TransformResult::of(placeFilled(name, *r.text, where));
                    if (const auto& cp = read->codePage[at])
                        made.note =
                            toU32(zh("标签按%1读取").arg(QLatin1String(encodingLabel(*cp))));
                    return made;
                };
                m_existing.install(tool, fs, window(), preview, &m_ctx.list);
                return tool;
            },
            {}};
}

void FactsPage::cmdFacts_Click() {
    m_existing.start();
    runButton(cmdFacts);
    m_existing.reportSkipped(window());
}

std::vector<QWidget*> FactsPage::focusChain() const {
    return {txtTemplate,      cmdInsertField,   chkTakenFromModified,
            optFactsPlace[0], optFactsPlace[1], optFactsPlace[2],
            cmdFacts};
}

} // namespace nw::app
