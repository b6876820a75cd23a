#include "app/batch_page.h"
#include "app/texts.h"

#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/user_messages.h"
#include "app/widgets.h"
#include "platform/name_codec.h"

#include <memory>

namespace nw::app {

void BatchPage::build(QPoint o) {
    Frame6 = named(new QGroupBox(zh("自定义文本"), this), "Frame6");
    place(Frame6, 240, 575, 4335, 735, o);
    Text1 = named(new QLineEdit(Frame6), "Text1");
    Text1->setAccessibleName(zh("自定义文本"));
    place(Text1, 120, 240, 2655, 320);
    Label3[0] = named(new QLabel(zh("增量："), Frame6), indexed("Label3", 0));
    place(Label3[0], 2880, 300, 540, 180);
    txtStep = named(new QLineEdit(QStringLiteral("1"), Frame6), "txtStep");
    txtStep->setAccessibleName(zh("编号的增量"));
    place(txtStep, 3480, 240, 735, 320);
    // A second row for the numbering's start and width; the frames below
    // close up to make room.
    lblStart = named(new QLabel(zh("起始编号："), Frame6), "lblStart");
    place(lblStart, 120, 660, 1000, 180);
    txtStart = named(new QLineEdit(Frame6), "txtStart");
    txtStart->setAccessibleName(zh("起始编号"));
    txtStart->setPlaceholderText(zh("同增量"));
    place(txtStart, 1120, 600, 1000, 320);
    lblWidth = named(new QLabel(zh("位数："), Frame6), "lblWidth");
    place(lblWidth, 2880, 660, 540, 180);
    txtWidth = named(new QLineEdit(Frame6), "txtWidth");
    txtWidth->setAccessibleName(zh("编号的位数"));
    txtWidth->setPlaceholderText(zh("不补零"));
    place(txtWidth, 3480, 600, 735, 320);
    Frame6->resize(Frame6->width(), px(1010));

    Frame7 = named(new QGroupBox(zh("自定义文本位置"), this), "Frame7");
    place(Frame7, 240, 1645, 4335, 960, o);
    const char* captions[] = {"替换前缀",     "替换后缀",     "在前缀的前面",
                              "在前缀的后面", "在后缀的前面", "在后缀的后面"};
    const int lefts[] = {120, 1320, 2760};
    for (std::size_t i = 0; i < 6; ++i) {
        Option3[i] = named(new QRadioButton(zh(captions[i]), Frame7), indexed("Option3", int(i)));
        place(Option3[i], lefts[i / 2], i % 2 == 0 ? 300 : 600, i < 2 ? 1095 : 1455, 255);
    }
    Option3[0]->setChecked(true);

    Frame8 = named(new QGroupBox(zh("示例"), this), "Frame8");
    place(Frame8, 240, 2665, 4335, 1215, o);
    Label4[0] = named(new QLabel(zh("原文件名为："), Frame8), indexed("Label4", 0));
    place(Label4[0], 120, 240, 1080, 180);
    Label4[1] = named(new QLabel(Frame8), indexed("Label4", 1));
    place(Label4[1], 1200, 240, 90, 180);
    lblSource[0] =
        named(new QLabel(QStringLiteral("example.gif"), Frame8), indexed("lblSource", 0));
    place(lblSource[0], 1200, 240, 990, 180);
    lblSource[1] = named(new QLabel(QStringLiteral("model.gif"), Frame8), indexed("lblSource", 1));
    place(lblSource[1], 1200, 480, 810, 180);
    Label4[4] = named(new QLabel(zh("转换后成为："), Frame8), indexed("Label4", 4));
    place(Label4[4], 120, 720, 1080, 180);
    lblTarget[0] =
        redLabel(named(new QLabel(QStringLiteral("1.gif"), Frame8), indexed("lblTarget", 0)));
    place(lblTarget[0], 1200, 720, 450, 180);
    lblTarget[1] =
        redLabel(named(new QLabel(QStringLiteral("2.gif"), Frame8), indexed("lblTarget", 1)));
    place(lblTarget[1], 1200, 960, 450, 180);
    // The layout's widths fit only the initial results; give the results the
    // rest of the frame so that a longer name is not cut.
    for (QLabel* l : lblTarget)
        l->resize(px(3000), l->height());

    Command2 = named(new QPushButton(zh("改名"), this), "Command2");
    place(Command2, 240, 3960, 4335, 495, o);
    chkPerFolder = named(new QCheckBox(zh("每个文件夹重新编号"), this), "chkPerFolder");
    place(chkPerFolder, 240, 4560, 4335, 255, o);

    connect(Text1, &QLineEdit::textChanged, this, &BatchPage::Text1_Change);
    connect(txtStep, &QLineEdit::textChanged, this, &BatchPage::txtStep_Change);
    connect(txtStart, &QLineEdit::textChanged, this, &BatchPage::updateExample);
    connect(txtWidth, &QLineEdit::textChanged, this, &BatchPage::updateExample);
    for (std::size_t i = 0; i < 6; ++i)
        connect(Option3[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option3_Click(short(i));
        });
    connect(Command2, &QPushButton::clicked, this, &BatchPage::Command2_Click);
    changesSettings({Text1, txtStep, txtStart, txtWidth, chkPerFolder});
    for (QRadioButton* r : Option3)
        changesSettings({r});
}

CustomNameSettings BatchPage::settings() const {
    CustomNameSettings s;
    s.customText = toU32(Text1->text());
    s.incrementText = toU32(txtStep->text());
    s.startText = toU32(txtStart->text());
    s.widthText = toU32(txtWidth->text());
    for (std::size_t i = 0; i < 6; ++i)
        if (Option3[i]->isChecked())
            s.placement = static_cast<TextPlacement>(i);
    return s;
}

QString BatchPage::refusal() const {
    if (!ParseStart(toU32(txtStart->text())).valid)
        return startRefusalText();
    if (!ParseWidth(toU32(txtWidth->text())))
        return widthRefusalText();
    return {};
}

void BatchPage::updateExample() {
    // A start or a width that cannot be used is said in the example.
    if (ParseIncrement(toU32(txtStep->text())) && !refusal().isEmpty()) {
        lblTarget[0]->setText(ParseStart(toU32(txtStart->text())).valid ? zh("位数无效（1 到 9）")
                                                                        : zh("起始编号无效"));
        lblTarget[1]->clear();
        return;
    }
    nw::RunningNumber number;
    for (std::size_t i = 0; i < 2; ++i) {
        // A failure keeps this caption and the ones after it: the user is
        // still typing the increment.
        const CustomNameResult r = BuildCustomName(toU32(lblSource[i]->text()), settings(), number);
        if (!r.name)
            return;
        lblTarget[i]->setText(toQt(*r.name));
    }
}

void BatchPage::Text1_Change() { updateExample(); }
void BatchPage::txtStep_Change() { updateExample(); }
void BatchPage::Option3_Click(short) { updateExample(); }

std::vector<std::pair<QPushButton*, QString>> BatchPage::applyButtons() const {
    return {{Command2, zh("批量改名")}};
}

ToolPlan BatchPage::plan(QPushButton*, bool preview) {
    if (const QString why = refusal(); !why.isEmpty())
        return {{}, why};
    return {[this, preview](FileSystem& fs) {
                // The real pass numbers with the page's RunningNumber (where
                // the click carries on a stopped pass, from where it stopped);
                // a preview with a number of its own, from the same place.
                auto own = std::make_shared<nw::RunningNumber>(startingNumber());
                nw::RunningNumber* number = preview ? own.get() : &RunningNumber;
                RenameTool tool;
                // A new name made of the text: the old one's characters are
                // not changed, only its extension is kept as it is.
                tool.readsCharacters = false;
                // Per folder: a new folder of the list starts at the start.
                auto folder = std::make_shared<std::optional<std::string>>();
                const bool perFolder = chkPerFolder->isChecked();
                tool.transform = [this, number, own, preview, folder,
                                  perFolder](int i, const std::u32string& name) {
                    if (perFolder) {
                        std::string sub = m_ctx.list.Sub(i);
                        if (*folder && **folder != sub)
                            *number = nw::RunningNumber{};
                        *folder = std::move(sub);
                    }
                    if (!preview)
                        m_numberBefore[i] = *number;
                    const CustomNameResult r = BuildCustomName(name, settings(), *number);
                    return r.name ? TransformResult::of(*r.name)
                                  : TransformResult::fail(reasonOf(*r.error));
                };
                m_existing.install(tool, fs, window(), preview, &m_ctx.list);
                return tool;
            },
            {}};
}

std::vector<std::string> BatchPage::selectedNames() const {
    std::vector<std::string> names;
    for (int i = 0; i < m_ctx.list.ListCount(); ++i)
        if (m_ctx.list.Selected(i))
            names.push_back(m_ctx.list.PathBytes(i));
    return names;
}

nw::RunningNumber BatchPage::startingNumber() const {
    // After a pass that stopped, the same click over what it left numbers
    // on from there; anything changed since starts afresh.
    const bool carryOn = m_carry && m_carry->folder == m_ctx.list.Path() &&
                         m_carry->settings == settings() && m_carry->left == selectedNames();
    return carryOn ? m_carry->number : nw::RunningNumber{};
}

void BatchPage::Command2_Click() {
    const CustomNameSettings now = settings();
    const std::string folder = m_ctx.list.Path();
    RunningNumber = startingNumber();
    m_numberBefore.clear();
    m_existing.start();
    const PassResult r = runButton(Command2);
    m_carry.reset();
    m_existing.reportSkipped(window());
    if (r.failure && r.failure->index >= 0) {
        const auto at = m_numberBefore.find(r.failure->index);
        m_carry = Carry{folder, now, selectedNames(),
                        at != m_numberBefore.end() ? at->second : RunningNumber};
    }
    m_numberBefore.clear();
}

std::vector<QWidget*> BatchPage::focusChain() const {
    std::vector<QWidget*> chain{Text1, txtStep, txtStart, txtWidth};
    chain.insert(chain.end(), Option3.begin(), Option3.end());
    chain.push_back(Command2);
    return chain;
}

} // namespace nw::app
