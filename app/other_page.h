#pragma once
// Page 2, "其它": extension change, removal of a text, Traditional/Simplified.
#include "app/tool_page.h"
#include "core/conv_table.h"

#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nw {
class PhraseConverters;
}

namespace nw::app {

class OtherPage : public ToolPage {
    Q_OBJECT
public:
    // table: the conversion table read from tableFolder; phrases: OpenCC's
    // converters; both owned by the window.
    OtherPage(PageContext ctx, const ConvTable& table, std::string tableFolder,
              PhraseConverters& phrases, QWidget* parent = nullptr)
        : ToolPage(ctx, parent), m_table(table), m_tableFolder(std::move(tableFolder)),
          m_phrases(phrases) {}
    void build(QPoint origin) override;

    void cmdChangeExt_Click();
    void cmdRemoveStr_Click();
    void cmdF2J_Click();
    void cmdJ2F_Click();
    // A standard chosen: its data is loaded now, and the user told if it is
    // missing.
    void cboStandard_Click();

    // The standards of cboStandard, in its order; the last is the table.
    struct Standard {
        const char* caption;
        const char* toTraditional; // OpenCC configurations
        const char* toSimplified;
        bool vocabulary = false; // gives its words to text already in Traditional
    };
    static const std::vector<Standard>& standards();
    // 转换标准's item, as the window keeps it between runs.
    int standardIndex() const;
    void setStandardIndex(int i);

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

private:
    QGroupBox* Frame9 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* txtRemoveStr = nullptr;
    QPushButton* cmdRemoveStr = nullptr;
    QGroupBox* Frame10 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* txtNewExt = nullptr;
    QPushButton* cmdChangeExt = nullptr;
    QGroupBox* Frame11 = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* cmdF2J = nullptr;
    QPushButton* cmdJ2F = nullptr;
    QLabel* lblStandard = nullptr;
    QComboBox* cboStandard = nullptr;

    ToolPlan changeExtPlan() const;
    ToolPlan removePlan() const;
    ToolPlan chinesePlan(bool toSimplified) const;
    ToolPlan tablePlan(bool toSimplified) const;
    const ConvTable& m_table;
    std::string m_tableFolder;
    PhraseConverters& m_phrases;
};

} // namespace nw::app
