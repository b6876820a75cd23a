#pragma once
// The one window: the browser on the left and in the middle, the tool pages
// on the right, the path bar along the bottom.
#include "app/stretch.h"
#include "app/tool_page.h"
#include "core/conv_table.h"
#include "platform/file_system.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QUrl;
class QTabWidget;

namespace nw {
class PhraseConverters;
} // namespace nw

namespace nw::app {

class DriveList;
class DriveWatch;
class PathBar;
class FileListBox;
class FileListMenu;
class PassRunner;
class PreviewWindow;
class ToolPage;
class FolderTree;

class Form1 : public QWidget {
    Q_OBJECT
public:
    // programFolder: where the program lives and F2J.txt is read from.
    // startPath: the folder (or file, selected in its folder) shown first;
    // without one, the program's folder. alsoGiven: files given with it,
    // selected with it where they are in its folder; the others are named in
    // a box.
    Form1(FileSystem& fs, std::string programFolder, std::string startPath = {},
          QWidget* parent = nullptr, std::vector<std::string> alsoGiven = {});
    ~Form1() override;

    void Form_Load();
    void cmdExit_Click();
    // Each returns false when its step failed (the user has been told).
    bool Drive1_Change();
    bool Dir1_Change();
    void cmdGoPath_Click();
    void txtPath_DblClick();
    void Combo1_Click();
    void Combo1_Typed(); // a pattern typed into the box
    void Check1_Click(short Index);
    void cmdSelect_Click(short Index);
    void File1_MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, float X, float Y);
    void ShowListItemToolTipText(FileListBox& ListX, float iY);
    // The system's mounts changed: Drive1 follows them.
    void mountsChanged();
    // The conversion table read at start-up.
    const ConvTable& table() const { return m_table; }
    // OpenCC's converters, loaded as the page first needs them.
    PhraseConverters& phraseConverters() { return *m_phrases; }
    // The preview of an apply button, opened or brought to the front.
    PreviewWindow* openPreview(ToolPage& page, QPushButton& button);
    PreviewWindow* openPreview(QObject& opener, std::function<ToolPlan()> plan,
                               std::function<void()> apply);

    DriveList* Drive1 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    FolderTree* Dir1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    std::array<QCheckBox*, 4> Check1{};
    FileListBox* File1 = nullptr;
    FileListMenu* File1Menu = nullptr;
    PassRunner* passRunner = nullptr;
    std::array<QPushButton*, 4> cmdSelect{};
    QTabWidget* SSTab1 = nullptr;
    PathBar* pathBar = nullptr;
    QGroupBox* Frame12 = nullptr; // pathBar
    QLineEdit* txtPath = nullptr;
    QPushButton* cmdGoPath = nullptr;

    // A folder or file dropped on the window: its folder is gone to.
    void goToDropped(const QUrl& url);

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // An open preview of what opener previews, brought up to date and to the
    // front; none when there is none.
    PreviewWindow* shownPreview(const QObject& opener);
    static QIcon programIcon();
    // The patterns of an item of Combo1 ("文本文件(*.txt)" -> "*.txt"), as
    // clicking it filters.
    static std::optional<std::u32string> patternOfItem(const std::u32string& text);
    void buildBrowser();
    void buildPages();
    void buildPathBar();
    void wireApplyButtons();
    void watchMounts();
    bool setDir1Path(const std::string& folder);
    // Goes where the user asks (a folder, a file, "~/...", file://..., as
    // bytes; see placeOfGiven): true when that folder is shown.
    bool goToGiven(const std::string& given);
    void setFocusOrder();
    // What the last run kept (see remembered.h), put back before the first
    // folder is shown; kept again as the window closes.
    void applyRemembered();
    void placeStretching();
    void keepRemembered();
    std::optional<QByteArray> m_rememberedGeometry;
    StretchLayout m_stretch;
    void reportFolder(const std::string& folder, const FsStatus& st);

    FileSystem& m_fs;
    std::string m_programFolder;
    std::string m_startPath;
    std::vector<std::string> m_alsoGiven;
    void selectAlsoGiven();
    ConvTable m_table;
    std::unique_ptr<PhraseConverters> m_phrases;
    std::array<ToolPage*, 6> m_pages{}; // in tab order
    DriveWatch* m_driveWatch = nullptr;
    bool m_placed = false;
};

} // namespace nw::app
