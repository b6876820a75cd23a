#pragma once
// Page 0, "文件名转换": case and space conversion.
#include "app/tool_page.h"
#include "core/convert_name.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace nw::app {

class ConversionPage : public ToolPage {
    Q_OBJECT
public:
    using ToolPage::ToolPage;
    void build(QPoint origin) override;

    ConvertOptions options() const;

    void Check2_Click(short Index);
    void Option1_Click(short Index);
    void Option2_Click(short Index);
    void Command1_Click();

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

private:
    QGroupBox* Frame2 = nullptr;
    std::array<QCheckBox*, 2> Check2{};
    QGroupBox* Frame3 = nullptr;
    std::array<QRadioButton*, 3> Option1{};
    QGroupBox* Frame4 = nullptr;
    std::array<QRadioButton*, 3> Option2{}; // 删除, 转换为_, 保留
    QGroupBox* Frame5 = nullptr;
    std::array<QLabel*, 2> Label2{};
    QLabel* lblS1 = nullptr;
    QLabel* lblT1 = nullptr;
    QPushButton* Command1 = nullptr;
    QCheckBox* chkHalfWidth = nullptr;
    QCheckBox* chkArabicNumbers = nullptr;
    QLabel* lblNumberWidth = nullptr;
    QLineEdit* txtNumberWidth = nullptr; // empty: no zeros in front

    void updateExample();
    // Whether the width box can be used (it counts only for the numerals).
    bool widthUsable() const;
};

} // namespace nw::app
