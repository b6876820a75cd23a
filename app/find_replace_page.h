#pragma once
// Page "查找替换": a text or a regular expression replaced in the names.
#include "app/existing_names.h"
#include "app/tool_page.h"
#include "core/find_replace.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace nw {
class NameRegex;
}

namespace nw::app {

class FindReplacePage : public ToolPage {
    Q_OBJECT
public:
    using ToolPage::ToolPage;
    void build(QPoint origin) override;

    FindReplaceSettings settings() const;

    void cmdReplace_Click();

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

    // The name the example shows, fixed.
    static constexpr const char* kSample = "IMG_0001 第1集.JPG";

signals:
    // Enter in "替换为": the window shows the preview (it never renames).
    void previewRequested(QPushButton* button);

private:
    QGroupBox* fraFind = nullptr;
    QLabel* lblFind = nullptr;
    QLineEdit* txtFind = nullptr;
    QLabel* lblReplace = nullptr;
    QLineEdit* txtReplace = nullptr;
    QCheckBox* chkMatchCase = nullptr;
    QCheckBox* chkRegex = nullptr;
    QCheckBox* chkReplaceAll = nullptr;
    QGroupBox* fraRange = nullptr;
    QCheckBox* chkPrefix = nullptr;
    QCheckBox* chkSuffix = nullptr;
    QGroupBox* fraExample = nullptr;
    QLabel* lblSourceCaption = nullptr;
    QLabel* lblFindSource = nullptr;
    QLabel* lblTargetCaption = nullptr;
    QLabel* lblFindTarget = nullptr;
    QPushButton* cmdReplace = nullptr;

    // The settings' regular expression compiled, or why it cannot be; with
    // no error and no regex, plain text.
    struct Compiled {
        std::shared_ptr<const NameRegex> regex;
        QString error;
    };
    Compiled compile() const;
    void updateExample();
    ExistingNames m_existing;
};

} // namespace nw::app
