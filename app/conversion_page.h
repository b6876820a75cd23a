#pragma once
// Page 0, "文件名转换": case and space conversion.
#include "app/tool_page.h"
#include "core/convert_name.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
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
    std::array<QRadioButton*, 2> Option2{};
    QGroupBox* Frame5 = nullptr;
    std::array<QLabel*, 2> Label2{};
    QLabel* lblS1 = nullptr;
    QLabel* lblT1 = nullptr;
    QPushButton* Command1 = nullptr;

    void updateExample();
};

} // namespace nw::app
