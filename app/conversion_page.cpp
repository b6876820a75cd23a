#include "app/conversion_page.h"
#include "app/texts.h"

#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/qt_text.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/custom_name.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

namespace nw::app {

void ConversionPage::build(QPoint o) {
    Frame2 = named(new QGroupBox(zh("转换范围"), this), "Frame2");
    place(Frame2, 240, 575, 1095, 1335, o);
    const char* ranges[] = {"前缀", "后缀"};
    for (std::size_t i = 0; i < 2; ++i) {
        Check2[i] = named(new QCheckBox(zh(ranges[i]), Frame2), indexed("Check2", int(i)));
        Check2[i]->setChecked(true);
        place(Check2[i], 120, i == 0 ? 240 : 720, 735, 255);
        connect(Check2[i], &QCheckBox::toggled, this, [this, i] { Check2_Click(short(i)); });
    }

    Frame3 = named(new QGroupBox(zh("转换成"), this), "Frame3");
    place(Frame3, 1440, 575, 1455, 1335, o);
    const char* cases[] = {"大写", "小写", "首字母大写"};
    for (std::size_t i = 0; i < 3; ++i) {
        Option1[i] = named(new QRadioButton(zh(cases[i]), Frame3), indexed("Option1", int(i)));
        place(Option1[i], 120, 240 + 360 * int(i), i == 2 ? 1200 : 735, 180);
    }
    Option1[2]->setChecked(true);

    Frame4 = named(new QGroupBox(zh("空格处理"), this), "Frame4");
    place(Frame4, 3000, 575, 1215, 1335, o);
    const char* spaces[] = {"删除", "转换为_", "保留"};
    for (std::size_t i = 0; i < 3; ++i) {
        Option2[i] = named(new QRadioButton(zh(spaces[i]), Frame4), indexed("Option2", int(i)));
        place(Option2[i], 120, 240 + 360 * int(i), i == 1 ? 975 : 735, 255);
    }
    Option2[0]->setChecked(true);
    // Connected after the initial states, which raise nothing.
    for (std::size_t i = 0; i < 3; ++i)
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option1_Click(short(i));
        });
    for (std::size_t i = 0; i < 3; ++i)
        connect(Option2[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option2_Click(short(i));
        });

    Frame5 = named(new QGroupBox(zh("示例"), this), "Frame5");
    place(Frame5, 240, 2015, 3975, 975, o);
    Label2[0] = named(new QLabel(zh("原文件名为："), Frame5), indexed("Label2", 0));
    place(Label2[0], 240, 360, 1080, 180);
    lblS1 = named(new QLabel(QStringLiteral("Exa mpL e.exE"), Frame5), "lblS1");
    place(lblS1, 1320, 360, 1170, 180);
    Label2[1] = named(new QLabel(zh("转换后成为："), Frame5), indexed("Label2", 1));
    place(Label2[1], 240, 600, 1080, 180);
    lblT1 = redLabel(named(new QLabel(QStringLiteral("Example.exe"), Frame5), "lblT1"));
    place(lblT1, 1320, 600, 990, 180);
    lblT1->resize(px(2535), lblT1->height()); // room for the longest result

    // Before the case step, both off when the window opens: in the room
    // between the example and the button.
    chkHalfWidth = named(new QCheckBox(zh("全角字母数字转为半角"), this), "chkHalfWidth");
    place(chkHalfWidth, 240, 3090, 3000, 255, o);
    chkArabicNumbers = named(new QCheckBox(zh("中文数字转为阿拉伯数字"), this), "chkArabicNumbers");
    place(chkArabicNumbers, 240, 3480, 2640, 255, o);
    lblNumberWidth = named(new QLabel(zh("位数："), this), "lblNumberWidth");
    place(lblNumberWidth, 3000, 3510, 540, 180, o);
    txtNumberWidth = named(new QLineEdit(this), "txtNumberWidth");
    txtNumberWidth->setAccessibleName(zh("阿拉伯数字的位数"));
    txtNumberWidth->setPlaceholderText(zh("不补零"));
    place(txtNumberWidth, 3540, 3450, 1035, 320, o);
    for (QCheckBox* c : {chkHalfWidth, chkArabicNumbers})
        connect(c, &QCheckBox::toggled, this, &ConversionPage::updateExample);
    connect(txtNumberWidth, &QLineEdit::textChanged, this, &ConversionPage::updateExample);

    Command1 = named(new QPushButton(zh("改名"), this), "Command1");
    place(Command1, 240, 3960, 4335, 495, o);
    connect(Command1, &QPushButton::clicked, this, &ConversionPage::Command1_Click);
    changesSettings({Check2[0], Check2[1], Option1[0], Option1[1], Option1[2], Option2[0],
                     Option2[1], Option2[2], chkHalfWidth, chkArabicNumbers, txtNumberWidth});
}

ConvertOptions ConversionPage::options() const {
    ConvertOptions o;
    o.caseMode = Option1[0]->isChecked()   ? CaseMode::Upper
                 : Option1[1]->isChecked() ? CaseMode::Lower
                                           : CaseMode::FirstUpper;
    o.Prefix = Check2[0]->isChecked();
    o.Suffix = Check2[1]->isChecked();
    o.spaceMode = Option2[1]->isChecked()   ? SpaceMode::SpaceToUnderscore
                  : Option2[2]->isChecked() ? SpaceMode::Keep
                                            : SpaceMode::DeleteSpace;
    o.halfWidth = chkHalfWidth->isChecked();
    o.arabicNumbers = chkArabicNumbers->isChecked();
    o.numberWidth = ParseWidth(toU32(txtNumberWidth->text())).value_or(1);
    return o;
}

bool ConversionPage::widthUsable() const {
    return !chkArabicNumbers->isChecked() || ParseWidth(toU32(txtNumberWidth->text()));
}

void ConversionPage::updateExample() {
    if (!widthUsable()) {
        lblT1->setText(zh("位数无效（1 到 9）"));
        return;
    }
    lblT1->setText(toQt(ConvertName(toU32(lblS1->text()), options())));
}

void ConversionPage::Check2_Click(short) { updateExample(); }
void ConversionPage::Option1_Click(short) { updateExample(); }
void ConversionPage::Option2_Click(short) { updateExample(); }

std::vector<std::pair<QPushButton*, QString>> ConversionPage::applyButtons() const {
    return {{Command1, zh("文件名转换")}};
}

ToolPlan ConversionPage::plan(QPushButton*, bool) {
    if (!widthUsable())
        return {{}, widthRefusalText()};
    const ConvertOptions o = options();
    return {[o](FileSystem&) {
                RenameTool tool;
                tool.transform = [o](int, const std::u32string& name) {
                    return TransformResult::of(ConvertName(name, o));
                };
                return tool;
            },
            {}};
}

void ConversionPage::Command1_Click() { runButton(Command1); }

std::vector<QWidget*> ConversionPage::focusChain() const {
    std::vector<QWidget*> chain(Check2.begin(), Check2.end());
    chain.insert(chain.end(), Option1.begin(), Option1.end());
    chain.insert(chain.end(), Option2.begin(), Option2.end());
    chain.insert(chain.end(), {chkHalfWidth, chkArabicNumbers, txtNumberWidth, Command1});
    return chain;
}

} // namespace nw::app
