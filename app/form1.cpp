#include "app/form1.h"
#include "app/texts.h"

#include "app/about_page.h"
#include "app/answering.h"
#include "app/appearance.h"
#include "app/batch_page.h"
#include "app/conversion_page.h"
#include "app/drive_list.h"
#include "app/drive_watch.h"
#include "app/facts_page.h"
#include "app/failure_text.h"
#include "app/file_list_box.h"
#include "app/file_list_menu.h"
#include "app/find_replace_page.h"
#include "app/folder_tree.h"
#include "app/list_tooltip.h"
#include "app/other_page.h"
#include "app/pass_runner.h"
#include "app/path_bar.h"
#include "app/preview_window.h"
#include "app/qt_text.h"
#include "app/remembered.h"
#include "app/stretch.h"
#include "app/twips.h"
#include "app/user_messages.h"
#include "app/widgets.h"
#include "core/conv_table.h"
#include "core/text.h"
#include "platform/given_path.h"
#include "platform/mounts.h"
#include "platform/name_codec.h"
#include "platform/phrase_converter.h"
#include "platform/places.h"

#include "platform/program_folder.h"
#include "platform/table_file.h"
#include <QLineEdit>

#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QProxyStyle>
#include <QScreen>
#include <QShortcut>
#include <QStyleFactory>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <unistd.h>

// The icons are compiled into the program's static library, whose objects the
// linker drops unless something refers to them: this does.
static void loadProgramResources() { Q_INIT_RESOURCE(resources); }

namespace nw::app {
namespace {

// Where QTabWidget puts its pages, worked out the way it does itself, so that
// the pages can be filled before the window is first shown.
// Six pages share a row made for five: where the style's tabs would pass the
// row's width, each tab gives up the same part of its margins (never of its
// caption), so that no page hides behind a scroll button.
class TabMargins : public QProxyStyle {
public:
    // On Fusion, as the window: left to itself, a proxy style takes the
    // desktop theme's style (qt6ct's own, say), whose tabs are drawn wider
    // than they are measured.
    TabMargins() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}
    int hspace = -1; // -1: the style's own
    int pixelMetric(PixelMetric m, const QStyleOption* o, const QWidget* w) const override {
        if (m == PM_TabBarTabHSpace && hspace >= 0)
            return hspace;
        return QProxyStyle::pixelMetric(m, o, w);
    }
};

class FittingTabBar : public QTabBar {
public:
    explicit FittingTabBar(QWidget* parent) : QTabBar(parent), m_margins(new TabMargins) {
        m_margins->setParent(this);
        setStyle(m_margins);
    }

protected:
    QSize tabSizeHint(int index) const override {
        m_margins->hspace = -1;
        const int own = m_margins->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, this);
        const QWidget* row = parentWidget();
        if (row && count() > 0) {
            int text = 0;
            for (int i = 0; i < count(); ++i)
                text += fontMetrics().horizontalAdvance(tabText(i));
            const int room = row->width() - 4 - text;
            if (room < own * count())
                m_margins->hspace = std::max(6, room / count());
        }
        return QTabBar::tabSizeHint(index);
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

private:
    TabMargins* m_margins;
};

class TabControl : public QTabWidget {
public:
    explicit TabControl(QWidget* parent) : QTabWidget(parent) {
        setTabBar(new FittingTabBar(this));
        tabBar()->setUsesScrollButtons(false);
        tabBar()->setElideMode(Qt::ElideNone);
    }
    QPoint contentsOrigin() const {
        QStyleOptionTabWidgetFrame opt;
        initStyleOption(&opt);
        return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &opt, this).topLeft();
    }
};

} // namespace

Form1::Form1(FileSystem& fs, std::string programFolder, std::string startPath, QWidget* parent,
             std::vector<std::string> alsoGiven)
    : QWidget(parent), m_fs(fs), m_programFolder(std::move(programFolder)),
      m_startPath(std::move(startPath)), m_alsoGiven(std::move(alsoGiven)),
      m_phrases(std::make_unique<PhraseConverters>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Namewright"));
    setWindowIcon(programIcon());
    setFont(windowFont());
    // The smallest size is the twips layout's; larger, the folder tree and
    // the file list take the room (see placeStretching).
    setMinimumSize(px(10770), px(6060));
    resize(minimumSize());
    // No folder is read while the window is built: Form_Load shows the first.
    buildBrowser();
    buildPages();
    buildPathBar();
    wireApplyButtons();
    // Names are shown as they are, never as markup.
    for (QLabel* l : findChildren<QLabel*>())
        l->setTextFormat(Qt::PlainText);
    fitFrames(*this);
    placeStretching();
    watchMounts();
    setFocusOrder();
    applyRemembered();
    Form_Load();
}

QIcon Form1::programIcon() {
    loadProgramResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/namewright/icon%1.png").arg(size), QSize(size, size));
    return icon;
}

void Form1::buildBrowser() {
    Drive1 = named(new DriveList(m_fs, this), "Drive1");
    Drive1->setAccessibleName(zh("驱动器"));
    place(Drive1, 120, 120, 2415, 300);
    Label1 = named(new QLabel(zh("文件扩展名过滤："), this), "Label1");
    place(Label1, 120, 480, 1440, 180);
    Combo1 = named(new QComboBox(this), "Combo1");
    Combo1->setAccessibleName(zh("文件扩展名过滤"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    for (const char* item :
         {"所有文件(*.*)", "文本文件(*.txt)", "静态网页(*.htm;*.html)", "ASP文件(*.asp)",
          "PHP文件(*.php;*.php3;*.php4)", "其它网页文档(*.shtml;*.phtml)", "EXE文件(*.exe)",
          "COM文件(*.com)", "JPG图片(*.jpg)", "GIF图片(*.gif)", "图片(*.bmp;*.gif;*.jpg)",
          // The kinds of file renamed most, after the items of old.
          "图片(*.jpg;*.jpeg;*.png;*.gif;*.webp;*.heic;*.heif;*.avif;*.tif;*.tiff;*.bmp)",
          "视频(*.mp4;*.mkv;*.mov;*.avi;*.wmv;*.flv;*.webm;*.ts)",
          "音乐(*.mp3;*.flac;*.m4a;*.aac;*.ogg;*.opus;*.wav;*.ape;*.wma)",
          "字幕(*.ass;*.ssa;*.srt;*.vtt;*.sub)",
          "文档(*.doc;*.docx;*.xls;*.xlsx;*.ppt;*.pptx;*.pdf;*.txt;*.md)"})
        Combo1->addItem(zh(item));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(QStringLiteral("*.*"));
    place(Combo1, 120, 720, 2415, 300);
    widenDropDown(*Combo1);
    Dir1 = named(new FolderTree(m_fs, this), "Dir1");
    Dir1->setAccessibleName(zh("文件夹"));
    place(Dir1, 120, 1080, 2415, 4080);

    Frame1 = named(new QGroupBox(zh("文件属性"), this), "Frame1");
    place(Frame1, 2640, 0, 3015, 495);
    const char* attrs[] = {"常规", "只读", "隐藏", "系统"};
    for (std::size_t i = 0; i < Check1.size(); ++i) {
        Check1[i] = named(new QCheckBox(zh(attrs[i]), Frame1), indexed("Check1", int(i)));
        Check1[i]->setChecked(i < 2);
        place(Check1[i], 120 + 720 * int(i), 240, 680, 180);
        connect(Check1[i], &QCheckBox::toggled, this, [this, i] { Check1_Click(short(i)); });
    }

    File1 = named(new FileListBox(m_fs, this), "File1");
    File1->setAccessibleName(zh("文件列表"));
    place(File1, 2640, 600, 3015, 4050);
    // Long names have the tooltip; a scroll bar would cost a row.
    File1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    passRunner = new PassRunner(this, *File1, m_fs);
    File1Menu = new FileListMenu(
        *File1, *passRunner, this,
        [this] { return qobject_cast<ToolPage*>(SSTab1->currentWidget()); },
        [this](ToolPage& page, QPushButton& button) { openPreview(page, button); },
        [this](QObject& opener, std::function<ToolPlan()> plan, std::function<void()> apply) {
            openPreview(opener, std::move(plan), std::move(apply));
        });
    // Ctrl+Z where no text box takes it for itself.
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, File1Menu, &FileListMenu::mnuUndo_Click);
    const char* sel[] = {"全选", "全不选", "反选", "刷新"};
    const int selLeft[] = {2640, 3360, 4200, 4920};
    const int selWidth[] = {615, 735, 615, 615};
    for (std::size_t i = 0; i < cmdSelect.size(); ++i) {
        cmdSelect[i] = named(new QPushButton(zh(sel[i]), this), indexed("cmdSelect", int(i)));
        place(cmdSelect[i], selLeft[i], 4800, selWidth[i], 375);
        connect(cmdSelect[i], &QPushButton::clicked, this,
                [this, i] { cmdSelect_Click(short(i)); });
    }

    connect(Drive1, &DriveList::driveChanged, this, &Form1::Drive1_Change);
    connect(Dir1, &FolderTree::folderOpened, this, &Form1::setDir1Path);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    // A pattern typed into the box filters as an item does, on Enter or when
    // the box is left.
    connect(Combo1->lineEdit(), &QLineEdit::editingFinished, this, &Form1::Combo1_Typed);
    connect(File1, &FileListBox::mouseMoved, this, &Form1::File1_MouseMove);
}

void Form1::buildPages() {
    auto* tabs = new TabControl(this);
    SSTab1 = named(tabs, "SSTab1");
    tabs->tabBar()->setAccessibleName(zh("工具页"));
    // Taller than the pages' own layout by a row: 批量改名's 每个文件夹重新编号
    // sits below its button.
    place(SSTab1, 5715, 120, 4935, 4875);
    const PageContext ctx{*File1, m_fs, *passRunner};
    auto* about = new AboutPage(ctx);
    auto* findReplace = new FindReplacePage(ctx);
    auto* batch = new BatchPage(ctx);
    // {序号} numbers as 批量改名 does, with its boxes.
    auto* facts = new FactsPage(ctx, [batch] { return batch->settings(); });
    m_pages = {new ConversionPage(ctx),
               batch,
               new OtherPage(ctx, m_table, m_programFolder, *m_phrases),
               findReplace,
               facts,
               about};
    const char* captions[] = {"文件名转换", "批量改名", "其它", "查找替换", "文件信息", "关于"};
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        named(m_pages[i], QStringLiteral("page%1").arg(i));
        SSTab1->addTab(m_pages[i], zh(captions[i]));
    }
    SSTab1->ensurePolished();
    const QPoint origin = tabs->contentsOrigin();
    for (ToolPage* p : m_pages)
        p->build(origin);
    connect(about, &AboutPage::exitRequested, this, &Form1::cmdExit_Click);
    connect(findReplace, &FindReplacePage::previewRequested, this,
            [this, findReplace](QPushButton* b) { openPreview(*findReplace, *b); });
}

void Form1::buildPathBar() {
    pathBar = new PathBar(m_fs, this);
    place(pathBar, 120, 5280, 10575, 735);
    Frame12 = pathBar;
    txtPath = pathBar->txtPath;
    cmdGoPath = pathBar->cmdGoPath;
    connect(pathBar, &PathBar::goRequested, this, &Form1::cmdGoPath_Click);
    // A folder dropped on the window or the path box is gone to.
    setAcceptDrops(true);
}

void Form1::wireApplyButtons() {
    // Each apply button's own menu previews what it would do, and buttons
    // that share a caption are told apart by a screen reader.
    for (ToolPage* p : m_pages)
        for (const auto& [button, name] : p->applyButtons()) {
            // "繁体转简体" needs no "繁体转简体：" before it.
            if (name != button->text())
                button->setAccessibleName(name + zh("：") + button->text());
            auto* menu = new QMenu(button);
            QAction* item = menu->addAction(zh("预览改名结果…"));
            item->setObjectName(QStringLiteral("mnuPreviewButton"));
            QPushButton* b = button;
            connect(item, &QAction::triggered, this, [this, p, b] { openPreview(*p, *b); });
            b->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(b, &QWidget::customContextMenuRequested, menu,
                    [menu, b](const QPoint& pos) { menu->popup(b->mapToGlobal(pos)); });
        }
}

void Form1::watchMounts() {
    m_driveWatch = new DriveWatch(m_fs, this);
    connect(m_driveWatch, &DriveWatch::mountsChanged, this, &Form1::mountsChanged);
    // A pass found cut off is kept in the history and offered for undo.
    m_driveWatch->setInterruptedHandler(
        [this](const RecoveryReport& r) { File1Menu->offerUndoOfInterrupted(r); });
}

void Form1::dragEnterEvent(QDragEnterEvent* e) {
    if (e->mimeData()->hasUrls() && e->mimeData()->urls().value(0).isLocalFile())
        e->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* e) {
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty() || !urls.front().isLocalFile())
        return;
    e->acceptProposedAction();
    goToDropped(urls.front());
}

void Form1::goToDropped(const QUrl& url) {
    // The address as it came: its escapes are the name's bytes, whatever
    // their code page.
    const QByteArray address = url.toEncoded();
    goToGiven(std::string(address.constData(), static_cast<std::size_t>(address.size())));
}

PreviewWindow* Form1::shownPreview(const QObject& opener) {
    for (PreviewWindow* w : findChildren<PreviewWindow*>())
        if (&w->opener() == &opener) {
            w->refresh();
            w->show();
            w->raise();
            w->activateWindow();
            return w;
        }
    return nullptr;
}

PreviewWindow* Form1::openPreview(ToolPage& page, QPushButton& button) {
    if (PreviewWindow* w = shownPreview(button))
        return w;
    auto* w = new PreviewWindow(page, button, *File1, m_fs, *passRunner, this);
    w->placeBeside(*this, QRect(SSTab1->mapToGlobal(QPoint(0, 0)), SSTab1->size()));
    w->show();
    return w;
}

PreviewWindow* Form1::openPreview(QObject& opener, std::function<ToolPlan()> plan,
                                  std::function<void()> apply) {
    if (PreviewWindow* w = shownPreview(opener))
        return w;
    auto* w = new PreviewWindow(opener, std::move(plan), std::move(apply), *File1, m_fs,
                                *passRunner, this);
    w->placeBeside(*this, QRect(SSTab1->mapToGlobal(QPoint(0, 0)), SSTab1->size()));
    w->show();
    return w;
}

void Form1::mountsChanged() {
    // Never under a pass that is walking its folder: once it has ended.
    if (passRunner->running()) {
        QTimer::singleShot(100, this, &Form1::mountsChanged);
        return;
    }
    const std::string shown = File1->Path();
    const std::string holding = mountHolding(Drive1->mounts(), shown);
    Drive1->setMounts(m_fs.mounts());
    Drive1->setDrive(shown);
    // The drive of the shown folder was taken away: say so, as for any folder
    // that fails; the list keeps what it showed.
    if (holding != "/" && mountHolding(Drive1->mounts(), shown) != holding)
        reportFolder(shown, FsStatus{FsError::NotFound, ENOENT});
    // A drive that comes back may hold a pass that was cut off.
    if (m_driveWatch->recover(false) && !File1->Path().empty())
        File1->Refresh();
}

Form1::~Form1() = default;

void Form1::setFocusOrder() {
    std::vector<QWidget*> order{Drive1, Dir1, Check1[1], File1, Check1[2], Check1[3]};
    order.insert(order.end(), cmdSelect.begin(), cmdSelect.end());
    order.insert(order.end(), {Combo1, Check1[0]});
    // The tool pages in turn, the path bar, then the page that only closes
    // the window.
    for (ToolPage* p : m_pages)
        if (p != m_pages.back())
            for (QWidget* w : p->focusChain())
                order.push_back(w);
    order.insert(order.end(), {txtPath, cmdGoPath});
    for (QWidget* w : m_pages.back()->focusChain())
        order.push_back(w);
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

void Form1::Form_Load() {
    // Files a pass cut off left between two names are put right before any
    // folder is shown.
    m_driveWatch->recover(true);
    passRunner->tellDamagedRecords();
    Combo1->setCurrentIndex(0);
    Combo1_Click();
    if (m_startPath.empty() || !goToGiven(m_startPath))
        setDir1Path(m_programFolder);
    else
        selectAlsoGiven();
    m_table = ConvTable(readTableFile(m_programFolder, ConvTable::kMaxBytes));
    // The program, and the table it loaded, are never renamed under it.
    const std::string exe = programExecutable();
    passRunner->protectFile(parentFolder(exe), exe.substr(exe.rfind('/') + 1));
    // So are the files installed beside it (licence and notice included),
    // however the program's folder was reached.
    const std::string installed = NW_PROGRAM_DATA_FILES;
    for (std::size_t at = 0; at <= installed.size();) {
        const std::size_t end = std::min(installed.find(':', at), installed.size());
        passRunner->protectFile(m_programFolder, installed.substr(at, end - at));
        at = end + 1;
    }
    SSTab1->setCurrentIndex(0);
}

void Form1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!m_placed) {
        m_placed = true;
        // Where it was last time, if that is still on a screen; else centred.
        if (!m_rememberedGeometry || !restoreGeometry(*m_rememberedGeometry))
            if (QScreen* s = screen())
                move(s->availableGeometry().center() - frameGeometry().center() + pos());
    }
}

void Form1::placeStretching() {
    // Of the extra width the tree takes a fifth and the list the rest; both
    // take all the extra height. The pages keep their size at the right, the
    // path box widens along the bottom.
    constexpr double kTree = 0.2, kList = 0.8;
    m_stretch.add(Drive1, {0, kTree, 0, 0});
    m_stretch.add(Combo1, {0, kTree, 0, 0});
    m_stretch.add(Dir1, {0, kTree, 0, 1});
    m_stretch.add(Frame1, {kTree, 0, 0, 0});
    m_stretch.add(File1, {kTree, kList, 0, 1});
    for (QPushButton* b : cmdSelect)
        m_stretch.add(b, {kTree, 0, 1, 0});
    m_stretch.add(SSTab1, {1, 0, 0, 0});
    m_stretch.add(pathBar, {0, 1, 1, 0});
    m_stretch.add(txtPath, {0, 1, 0, 0});
    m_stretch.add(cmdGoPath, {1, 0, 0, 0});
}

void Form1::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    m_stretch.apply(size() - minimumSize());
}

void Form1::closeEvent(QCloseEvent* e) {
    keepRemembered();
    QWidget::closeEvent(e);
}

void Form1::applyRemembered() {
    auto* other = findChild<OtherPage*>(QStringLiteral("page2"));
    auto* facts = findChild<FactsPage*>(QStringLiteral("page4"));
    const Remembered r = readRemembered(static_cast<int>(OtherPage::standards().size()));
    m_rememberedGeometry = r.geometry;
    if (r.standard && other)
        other->setStandardIndex(*r.standard);
    if (r.sort)
        File1->setSortOrder(*r.sort);
    if (r.factsTemplate && facts)
        facts->setTemplateText(*r.factsTemplate);
}

void Form1::keepRemembered() {
    Remembered r;
    r.geometry = saveGeometry();
    if (auto* other = findChild<OtherPage*>(QStringLiteral("page2")))
        r.standard = other->standardIndex();
    r.sort = File1->sortOrder();
    if (auto* facts = findChild<FactsPage*>(QStringLiteral("page4")))
        r.factsTemplate = facts->templateText();
    writeRemembered(r);
}

void Form1::cmdExit_Click() { close(); }

void Form1::reportFolder(const std::string& folder, const FsStatus& st) {
    // A reading given up for a newer one is no failure to report.
    if (st.error != FsError::Superseded)
        showMessage(this, MessageKind::Warning, folderFailureText(folder, st));
}

bool Form1::setDir1Path(const std::string& folder) {
    const FsStatus st = Dir1->setPath(folder, mountHolding(m_fs.mounts(), normalizeFolder(folder)));
    if (!st.ok()) {
        reportFolder(folder, st);
        return false;
    }
    return Dir1_Change();
}

bool Form1::Drive1_Change() { return setDir1Path(Drive1->Drive()); }

bool Form1::Dir1_Change() {
    const FsStatus st = File1->setPath(Dir1->Path());
    if (!st.ok()) {
        reportFolder(Dir1->Path(), st);
        return false;
    }
    pathBar->showFolder(Dir1->Path());
    return true;
}

void Form1::cmdGoPath_Click() { goToGiven(pathBar->given(Dir1->Path())); }

bool Form1::goToGiven(const std::string& given) {
    // The start path and a drop are absolute: "~" stands for home only where typed.
    const GivenPlace place = placeOfGiven(given, Dir1->Path(), true, m_fs);
    if (place.error == GivenError::Empty)
        return false;
    if (place.error != GivenError::None) {
        showMessage(this, MessageKind::Warning, givenFailureText(place.error, given));
        return false;
    }
    const std::string& path = place.folder;
    Drive1->setMounts(m_fs.mounts()); // a drive mounted a moment ago
    if (Drive1->setDrive(path) && !Drive1_Change())
        return false;
    if (!setDir1Path(path))
        return false;
    if (File1->Path() != path)
        if (const FsStatus st = File1->setPath(path); !st.ok()) {
            reportFolder(path, st);
            return false;
        }
    if (!place.file.empty() && File1->Path() == path) {
        File1->clearAllEntries();
        File1->selectNames({place.file});
        for (int i = 0; i < File1->ListCount(); ++i)
            if (File1->Selected(i))
                File1->scrollTo(File1->model()->index(i, 0));
    }
    return true;
}

void Form1::selectAlsoGiven() {
    // A file manager's selection: those in the folder shown are selected
    // with the first; a file elsewhere cannot be shown with them, and is named.
    std::vector<std::string> here;
    QStringList elsewhere;
    for (const std::string& given : m_alsoGiven) {
        const GivenPlace place = placeOfGiven(given, Dir1->Path(), true, m_fs);
        if (place.error == GivenError::None && place.folder == File1->Path() && !place.file.empty())
            here.push_back(place.file);
        else
            elsewhere << zh("“%1”").arg(named(decodeName(given)));
    }
    if (!here.empty()) {
        std::vector<std::string> selected = here;
        for (int i = 0; i < File1->ListCount(); ++i)
            if (File1->Selected(i))
                selected.push_back(File1->Bytes(i));
        File1->selectNames(std::move(selected));
    }
    if (!elsewhere.isEmpty())
        showMessage(this, MessageKind::Information,
                    zh("一次只能打开一个文件夹。下面这些不在“%1”里，没有打开：\n%2")
                        .arg(named(decodeName(File1->Path())), elsewhere.join(QLatin1Char('\n'))));
}

void Form1::txtPath_DblClick() { pathBar->selectAll(); }

void Form1::Combo1_Typed() {
    const QString typed = Combo1->currentText().trimmed();
    if (typed.isEmpty())
        return;
    // An item's text filters as the item; anything else is the patterns.
    const auto item = patternOfItem(toU32(typed));
    const std::u32string pattern = Combo1->findText(typed) >= 0 && item ? *item : toU32(typed);
    if (pattern == File1->pattern())
        return;
    if (const FsStatus st = File1->setPattern(pattern); !st.ok())
        reportFolder(File1->Path(), st);
}

std::optional<std::u32string> Form1::patternOfItem(const std::u32string& t) {
    if (t.size() <= 4)
        return t;
    const std::size_t p = t.find(U'(');
    if (p == std::u32string::npos)
        return std::nullopt;
    return t.substr(p + 1, t.size() - (p + 1) - 1);
}

void Form1::Combo1_Click() {
    const auto pattern = patternOfItem(toU32(Combo1->currentText()));
    if (!pattern)
        return;
    if (const FsStatus st = File1->setPattern(*pattern); !st.ok())
        reportFolder(File1->Path(), st);
}

void Form1::Check1_Click(short Index) {
    AttributeFlags f = File1->flags();
    const bool on = Check1[static_cast<std::size_t>(Index)]->isChecked();
    switch (Index) {
    case 0: f.normal = on; break;
    case 1: f.readOnly = on; break;
    case 2: f.hidden = on; break;
    case 3: f.system = on; break;
    default: return;
    }
    if (const FsStatus st = File1->setFlags(f); !st.ok())
        reportFolder(File1->Path(), st);
}

void Form1::cmdSelect_Click(short Index) {
    // Clicked while a folder is being opened or read again (its subfolders,
    // then its files, are read on threads): it acts on the list that reading
    // shows, once it is shown.
    if (Index <= 2 && workUnderWay()) {
        QTimer::singleShot(10, this, [this, Index] { cmdSelect_Click(Index); });
        return;
    }
    switch (Index) {
    case 0: File1->selectAllEntries(); break;
    case 1: File1->clearAllEntries(); break;
    case 2: File1->invertEntries(); break;
    case 3:
        File1->Refresh();
        if (!File1->lastRefresh().ok())
            reportFolder(File1->Path(), File1->lastRefresh());
        break;
    default: break;
    }
}

void Form1::File1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, float, float Y) {
    ShowListItemToolTipText(*File1, Y);
}

void Form1::ShowListItemToolTipText(FileListBox& ListX, float iY) {
    ListX.setToolTip(listItemToolTip(ListX, iY));
}

} // namespace nw::app
