#pragma once
// Page "文件信息": new names from what the files hold (the date a photo was
// taken, a song's tags, the file's dates), written as a template of fields.
#include "app/existing_names.h"
#include "app/tool_page.h"
#include "core/custom_name.h"
#include "core/name_template.h"
#include "platform/file_metadata.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

namespace nw::app {

class FactsPage : public ToolPage {
    Q_OBJECT
public:
    // numbering: the settings {序号} numbers by (批量改名's).
    FactsPage(PageContext ctx, std::function<CustomNameSettings()> numbering)
        : ToolPage(ctx), m_numbering(std::move(numbering)) {}
    void build(QPoint origin) override;

    void cmdFacts_Click();

    // The template, as the window keeps it between runs.
    QString templateText() const;
    void setTemplateText(const QString& text);

    std::vector<std::pair<QPushButton*, QString>> applyButtons() const override;
    ToolPlan plan(QPushButton* button, bool preview) override;
    std::vector<QWidget*> focusChain() const override;

    // The example's reading of the first selected file has ended (tests).
    bool exampleSettled() const { return !m_exampleReading; }

private:
    QGroupBox* fraTemplate = nullptr;
    QLineEdit* txtTemplate = nullptr;
    QPushButton* cmdInsertField = nullptr;
    QMenu* mnuFields = nullptr;
    QCheckBox* chkTakenFromModified = nullptr;
    QGroupBox* fraFactsPlace = nullptr;
    std::array<QRadioButton*, 3> optFactsPlace{};
    QGroupBox* fraFactsExample = nullptr;
    QLabel* lblFactsSourceCaption = nullptr;
    QLabel* lblFactsSource = nullptr;
    QLabel* lblFactsTargetCaption = nullptr;
    QLabel* lblFactsTarget = nullptr;
    QPushButton* cmdFacts = nullptr;

    std::function<CustomNameSettings()> m_numbering;
    ExistingNames m_existing;

    // What the page reads of the selected files: their facts by list index,
    // read with the window answering; a folder changed meanwhile cancels it.
    struct Read {
        std::vector<std::optional<FileFacts>> facts; // none: unreadable
        std::vector<std::optional<NameEncoding>> codePage;
        bool cancelled = false;
    };
    Read readSelected();
    std::shared_ptr<std::atomic<bool>> m_cancel = std::make_shared<std::atomic<bool>>(false);

    FactsPlacement placement() const;
    void insertField(const QString& text);
    void updateExample();
    void showExample();
    QString templateRefusal() const;
    // The example's file and its facts, read on a thread of their own.
    struct Example {
        std::string path;
        std::shared_ptr<const RawFacts> raw;
    };
    std::shared_ptr<Example> m_example;
    std::u32string m_exampleName;                     // the first selected entry's name
    std::shared_ptr<std::atomic<bool>> m_exampleDone; // set by the reading thread
    QTimer* m_examplePoll = nullptr;
    bool m_exampleReading = false;
};

} // namespace nw::app
