#include "app/batch_page.h"

#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/user_messages.h"
#include "app/widgets.h"
#include "platform/name_codec.h"

#include <memory>

namespace nw::app {

void BatchPage::build(QPoint o) {
    Frame6 = named(new QGroupBox(QStringLiteral("自定义文本"), this), "Frame6");
    place(Frame6, 240, 575, 4335, 735, o);
    Text1 = named(new QLineEdit(Frame6), "Text1");
    Text1->setAccessibleName(QStringLiteral("自定义文本"));
    place(Text1, 120, 240, 2655, 320);
    Label3[0] = named(new QLabel(QStringLiteral("增量："), Frame6), indexed("Label3", 0));
    place(Label3[0], 2880, 300, 540, 180);
    txtStep = named(new QLineEdit(QStringLiteral("1"), Frame6), "txtStep");
    txtStep->setAccessibleName(QStringLiteral("编号的增量"));
    place(txtStep, 3480, 240, 735, 320);

    Frame7 = named(new QGroupBox(QStringLiteral("自定义文本位置"), this), "Frame7");
    place(Frame7, 240, 1410, 4335, 1080, o);
    const char* captions[] = {"替换前缀",     "替换后缀",     "在前缀的前面",
                              "在前缀的后面", "在后缀的前面", "在后缀的后面"};
    const int lefts[] = {120, 1320, 2760};
    for (std::size_t i = 0; i < 6; ++i) {
        Option3[i] = named(new QRadioButton(QString::fromUtf8(captions[i]), Frame7),
                           indexed("Option3", int(i)));
        place(Option3[i], lefts[i / 2], i % 2 == 0 ? 360 : 720, i < 2 ? 1095 : 1455, 255);
    }
    Option3[0]->setChecked(true);

    Frame8 = named(new QGroupBox(QStringLiteral("示例"), this), "Frame8");
    place(Frame8, 240, 2610, 4335, 1215, o);
    Label4[0] = named(new QLabel(QStringLiteral("原文件名为："), Frame8), indexed("Label4", 0));
    place(Label4[0], 120, 240, 1080, 180);
    Label4[1] = named(new QLabel(Frame8), indexed("Label4", 1));
    place(Label4[1], 1200, 240, 90, 180);
    lblSource[0] =
        named(new QLabel(QStringLiteral("example.gif"), Frame8), indexed("lblSource", 0));
    place(lblSource[0], 1200, 240, 990, 180);
    lblSource[1] = named(new QLabel(QStringLiteral("model.gif"), Frame8), indexed("lblSource", 1));
    place(lblSource[1], 1200, 480, 810, 180);
    Label4[4] = named(new QLabel(QStringLiteral("转换后成为："), Frame8), indexed("Label4", 4));
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

    Command2 = named(new QPushButton(QStringLiteral("改名"), this), "Command2");
    place(Command2, 240, 3960, 4335, 495, o);

    connect(Text1, &QLineEdit::textChanged, this, &BatchPage::Text1_Change);
    connect(txtStep, &QLineEdit::textChanged, this, &BatchPage::txtStep_Change);
    for (std::size_t i = 0; i < 6; ++i)
        connect(Option3[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option3_Click(short(i));
        });
    connect(Command2, &QPushButton::clicked, this, &BatchPage::Command2_Click);
    changesSettings({Text1, txtStep});
    for (QRadioButton* r : Option3)
        changesSettings({r});
}

CustomNameSettings BatchPage::settings() const {
    CustomNameSettings s;
    s.customText = toU32(Text1->text());
    s.incrementText = toU32(txtStep->text());
    for (std::size_t i = 0; i < 6; ++i)
        if (Option3[i]->isChecked())
            s.placement = static_cast<TextPlacement>(i);
    return s;
}

void BatchPage::updateExample() {
    RunningNumber = 0;
    for (std::size_t i = 0; i < 2; ++i) {
        // A failure keeps this caption and the ones after it: the user is
        // still typing the increment.
        const CustomNameResult r =
            BuildCustomName(toU32(lblSource[i]->text()), settings(), RunningNumber);
        if (!r.name)
            return;
        lblTarget[i]->setText(toQt(*r.name));
    }
}

void BatchPage::Text1_Change() { updateExample(); }
void BatchPage::txtStep_Change() { updateExample(); }
void BatchPage::Option3_Click(short) { updateExample(); }

std::vector<std::pair<QPushButton*, QString>> BatchPage::applyButtons() const {
    return {{Command2, QStringLiteral("批量改名")}};
}

ToolPlan BatchPage::plan(QPushButton*, bool preview) {
    return {[this, preview](FileSystem& fs) {
                // The real pass numbers with the page's RunningNumber; a preview
                // with a number of its own, from 0 as well.
                auto own = std::make_shared<std::int16_t>(0);
                std::int16_t* number = preview ? own.get() : &RunningNumber;
                RenameTool tool;
                // A new name made of the text: the old one's characters are
                // not changed, only its extension is kept as it is.
                tool.readsCharacters = false;
                tool.transform = [this, number, own](int, const std::u32string& name) {
                    const CustomNameResult r = BuildCustomName(name, settings(), *number);
                    return r.name ? TransformResult::of(*r.name)
                                  : TransformResult::fail(reasonOf(*r.error));
                };
                m_existing.install(tool, fs, window(), preview);
                return tool;
            },
            {}};
}

void BatchPage::Command2_Click() {
    RunningNumber = 0;
    m_existing.start();
    runButton(Command2);
    m_existing.reportSkipped(window());
}

std::vector<QWidget*> BatchPage::focusChain() const {
    std::vector<QWidget*> chain{Text1, txtStep};
    chain.insert(chain.end(), Option3.begin(), Option3.end());
    chain.push_back(Command2);
    return chain;
}

} // namespace nw::app
