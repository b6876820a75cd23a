#pragma once
// Page 1, "批量改名": custom text and running number.
#include "app/existing_names.h"
#include "app/tool_page.h"
#include "core/custom_name.h"

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace nw::app {

class BatchPage : public ToolPage {
    Q_OBJECT
public:
    using ToolPage::ToolPage;
    void build(QPoint origin) override;

    CustomNameSettings settings() const;

    void Text1_Change();
    void txtStep_Change();
    void Option3_Click(short Index);
    void Command2_Click();

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

private:
    QGroupBox* Frame6 = nullptr;
    QLineEdit* Text1 = nullptr;
    std::array<QLabel*, 1> Label3{};
    QLineEdit* txtStep = nullptr;
    QGroupBox* Frame7 = nullptr;
    std::array<QRadioButton*, 6> Option3{};
    QGroupBox* Frame8 = nullptr;
    std::array<QLabel*, 5> Label4{}; // members 0, 1 and 4
    std::array<QLabel*, 2> lblSource{};
    std::array<QLabel*, 2> lblTarget{};
    QPushButton* Command2 = nullptr;
    QLabel* lblStart = nullptr;
    QLineEdit* txtStart = nullptr; // 起始编号: empty, the first number is the increment
    QLabel* lblWidth = nullptr;
    QLineEdit* txtWidth = nullptr; // 位数: empty or 1, no zeros in front
    // In a list of a whole tree, the numbering starts again in each folder
    // (off: it runs through the list).
    QCheckBox* chkPerFolder = nullptr;

    nw::RunningNumber RunningNumber;

    void updateExample();
    // Why the start or width box cannot be used; empty where both can.
    QString refusal() const;
    std::vector<std::string> selectedNames() const;
    // Where the next click's numbering starts.
    nw::RunningNumber startingNumber() const;
    // A pass that stopped, so that the next click over the same folder,
    // settings and entries left selected numbers on where it stopped.
    struct Carry {
        std::string folder;
        CustomNameSettings settings;
        std::vector<std::string> left;
        nw::RunningNumber number; // before the entry it stopped at
    };
    std::optional<Carry> m_carry;
    // The real pass's number before each entry it numbered, by list index.
    std::map<int, nw::RunningNumber> m_numberBefore;
    // Set by a real pass whose user chose "全部跳过"; names skipped since.
    ExistingNames m_existing;
};

} // namespace nw::app
