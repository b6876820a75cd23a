// Whole trees through the real window: the list's "包括子文件夹" and
// "包括文件夹", 全选, a button or the repair's preview, and undo, over a
// music library and over unpacked archives of legacy names; every file
// checked on disk by path and content.
#include "app_test_support.h"

#include "app/file_list_menu.h"
#include "app/preview_window.h"
#include "app/user_messages.h"
#include "platform/name_codec.h"
#include "tests/support/media_files.h"
#include "tests/support/sample_names.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <QTimer>

#include <filesystem>
#include <future>
#include <unistd.h>

namespace nw::app::test {
namespace {

using nw::test::snapshotTree;

// A file at a path below root (its folders made), holding its own path.
void put(const std::string& root, const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(root + "/" + path).parent_path());
    file(root, path, path);
}

std::string in(NameEncoding e, const std::u32string& text) {
    return nw::test::encodeWithIcu(e, text).value_or("not encodable");
}

// The paths of before, each with its folder parts and name as given.
Snapshot moved(const Snapshot& before, const std::map<std::string, std::string>& parts) {
    Snapshot out;
    for (const auto& [path, content] : before) {
        std::string now;
        for (std::size_t i = 0; i <= path.size();) {
            std::size_t j = path.find('/', i);
            if (j == std::string::npos)
                j = path.size();
            const std::string part = path.substr(i, j - i);
            const auto to = parts.find(part);
            now += (now.empty() ? "" : "/") + (to != parts.end() ? to->second : part);
            i = j + 1;
        }
        out[now] = content;
    }
    return out;
}

} // namespace

class TreeTest : public QObject {
    Q_OBJECT
private slots:
    void aMusicLibraryConvertedAndUndone();
    void archivesRepairedThenNumberedPerFolder();
    void aPhonesPhotosByDateTakenInTheirFolders();
    void selectAllWhileTheTreeIsRead();
};

// 繁体转简体 over artist / album / track, folders included: each row is its
// path, every name converted in its own folder, a folder after what it
// holds, a link to a folder above listed and never entered, and one undo
// puts the whole tree back but for a song replaced since, named by its path.
void TreeTest::aMusicLibraryConvertedAndUndone() {
    Harness h;
    const std::string root = h.work.path();
    for (const char* p : {"說明.txt", "周杰倫/葉惠美/01 以父之名.mp3", "周杰倫/葉惠美/02 懦夫.mp3",
                          "周杰倫/范特西/01 愛在西元前.mp3", "周杰倫/范特西/02 簡單愛.mp3",
                          "王菲/只愛陌生人/01 夢中人.mp3", "王菲/只愛陌生人/02 紅豆.mp3"})
        put(root, p);
    QCOMPARE(::symlink("..", (root + "/周杰倫/loop").c_str()), 0);
    h.open(root);
    FileListMenu& menu = *h.form->File1Menu;
    QVERIFY(!menu.mnuSubfolders->isChecked() && !menu.mnuFolders->isChecked());
    QCOMPARE(h.names(), QStringList{QStringLiteral("說明.txt")});

    menu.mnuSubfolders->trigger();
    menu.mnuFolders->trigger();
    const QStringList rows{"說明.txt",
                           "周杰倫/loop/",
                           "周杰倫/范特西/01 愛在西元前.mp3",
                           "周杰倫/范特西/02 簡單愛.mp3",
                           "周杰倫/范特西/",
                           "周杰倫/葉惠美/01 以父之名.mp3",
                           "周杰倫/葉惠美/02 懦夫.mp3",
                           "周杰倫/葉惠美/",
                           "周杰倫/",
                           "王菲/只愛陌生人/01 夢中人.mp3",
                           "王菲/只愛陌生人/02 紅豆.mp3",
                           "王菲/只愛陌生人/",
                           "王菲/"};
    QCOMPARE(h.names(), rows);

    const Snapshot before = snapshotTree(root);
    h.click("cmdSelect(0)");
    h.click("cmdF2J");
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
    const Snapshot after = moved(before, {{"說明.txt", "说明.txt"},
                                          {"周杰倫", "周杰伦"},
                                          {"葉惠美", "叶惠美"},
                                          {"01 愛在西元前.mp3", "01 爱在西元前.mp3"},
                                          {"02 簡單愛.mp3", "02 简单爱.mp3"},
                                          {"只愛陌生人", "只爱陌生人"},
                                          {"01 夢中人.mp3", "01 梦中人.mp3"},
                                          {"02 紅豆.mp3", "02 红豆.mp3"}});
    QCOMPARE(snapshotTree(root), after);
    QVERIFY(h.names().contains(QStringLiteral("周杰伦/叶惠美/02 懦夫.mp3")));

    // One song replaced since by another file of its name: undo leaves it,
    // and says where it is.
    file(root, "周杰伦/范特西/new.mp3", "another recording");
    QCOMPARE(::rename((root + "/周杰伦/范特西/new.mp3").c_str(),
                      (root + "/周杰伦/范特西/01 爱在西元前.mp3").c_str()),
             0);
    h.form->File1Menu->mnuUndo->trigger();
    QCOMPARE(h.takeMessages(),
             QStringLiteral("有 1 个文件没有撤销：\n"
                            "“周杰倫/范特西/01 爱在西元前.mp3”：已不是这次改名后的文件"));
    Snapshot back = before;
    back.erase("周杰倫/范特西/01 愛在西元前.mp3");
    back["周杰倫/范特西/01 爱在西元前.mp3"] = "another recording";
    QCOMPARE(snapshotTree(root), back);
    QCOMPARE(h.names().size(), rows.size());
}

// A GBK zip and a Big5 zip unpacked into one UTF-8 folder: each folder's
// names read in their own code page, and the repair's one preview makes the
// whole tree UTF-8, folders included. Then the files only, numbered by
// 批量改名 afresh in each folder.
void TreeTest::archivesRepairedThenNumberedPerFolder() {
    Harness h;
    const std::string root = h.work.path();
    struct Written {
        NameEncoding page;
        std::vector<std::u32string> path;
    };
    const std::vector<Written> files{
        {NameEncoding::Utf8, {U"readme.txt"}},
        {NameEncoding::Gbk, {U"gbk zip", U"说明文档.txt"}},
        {NameEncoding::Gbk, {U"gbk zip", U"会议纪要.doc"}},
        {NameEncoding::Gbk, {U"gbk zip", U"新建文件夹", U"新建文本文档.txt"}},
        {NameEncoding::Gbk, {U"gbk zip", U"新建文件夹", U"春节联欢晚会照片.jpg"}},
        {NameEncoding::Big5, {U"big5 zip", U"繁體中文檔案.txt"}},
        {NameEncoding::Big5, {U"big5 zip", U"新增資料夾", U"員工旅遊照片.jpg"}},
        {NameEncoding::Big5, {U"big5 zip", U"新增資料夾", U"會議記錄.doc"}},
        {NameEncoding::Big5, {U"big5 zip", U"新增資料夾", U"電腦維修報告.xls"}}};
    std::map<std::string, std::string> toUtf8; // each name's bytes -> its UTF-8
    for (const Written& w : files) {
        std::string path;
        for (const std::u32string& part : w.path) {
            const std::string bytes = part.front() < 0x80 ? encodeName(part) : in(w.page, part);
            toUtf8[bytes] = encodeName(part);
            path += (path.empty() ? "" : "/") + bytes;
        }
        put(root, path);
    }
    h.open(root);
    FileListMenu& menu = *h.form->File1Menu;
    menu.mnuSubfolders->trigger();
    menu.mnuFolders->trigger();
    QCOMPARE(h.list().ListCount(), 13);
    QVERIFY(h.names().contains(QStringLiteral("big5 zip/新增資料夾/會議記錄.doc")));
    QVERIFY(h.names().contains(QStringLiteral("gbk zip/新建文件夹/")));

    const Snapshot before = snapshotTree(root);
    h.click("cmdSelect(0)");
    menu.mnuToUtf8->trigger();
    PreviewWindow* preview = nullptr;
    for (PreviewWindow* w : h.form->findChildren<PreviewWindow*>())
        if (w->isVisible() && &w->opener() == menu.mnuToUtf8)
            preview = w;
    QVERIFY(preview);
    QCOMPARE(snapshotTree(root), before); // the preview renames nothing
    // Its rows name each entry by its path, as the list does.
    QStringList shown;
    for (int r = 0; r < preview->model->rowCount(); ++r)
        shown << preview->model->index(r, 1).data().toString();
    QVERIFY2(shown.contains(QStringLiteral("big5 zip/新增資料夾/員工旅遊照片.jpg")),
             qPrintable(shown.join('|')));
    preview->cmdApply->click();
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
    const Snapshot repaired = moved(before, toUtf8);
    QCOMPARE(snapshotTree(root), repaired);

    // The files alone, each folder numbered from 1.
    menu.mnuFolders->trigger();
    QCOMPARE(h.list().ListCount(), 9);
    h.click("cmdSelect(0)");
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("第"));
    h.find<QCheckBox>("chkPerFolder")->setChecked(true);
    h.click("Command2");
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
    QCOMPARE(snapshotTree(root), moved(repaired, {{"readme.txt", "第1.txt"},
                                                  {"会议纪要.doc", "第1.doc"},
                                                  {"说明文档.txt", "第2.txt"},
                                                  {"新建文本文档.txt", "第1.txt"},
                                                  {"春节联欢晚会照片.jpg", "第2.jpg"},
                                                  {"繁體中文檔案.txt", "第1.txt"},
                                                  {"員工旅遊照片.jpg", "第1.jpg"},
                                                  {"會議記錄.doc", "第2.doc"},
                                                  {"電腦維修報告.xls", "第3.xls"}}));
}

// A phone's folders of photos named by the date taken through 文件信息, files
// only: each photo read at its own path. Two of one second in one folder
// bring the existence box, which says where: "停止改名" stops there, the rest
// stay selected and the click carries on; "跳过" then leaves the burst. The
// same second in another folder is no clash; a photo without a date is named
// with its folder; undo puts every photo back.
void TreeTest::aPhonesPhotosByDateTakenInTheirFolders() {
    Harness h;
    const std::string root = h.work.path();
    const std::string noon = "2024:05:01 12:34:56";
    const std::map<std::string, std::string> taken{
        {"DCIM/Camera/IMG_20240501_123456.jpg", noon},
        {"DCIM/Camera/IMG_20240501_123456_1.jpg", noon}, // a burst: the same second
        {"DCIM/Camera/IMG_20240502_080000.jpg", "2024:05:02 08:00:00"},
        {"Pictures/WeiXin/wx_camera_1714538096.jpg", noon},
        {"Pictures/Screenshots/Screenshot_20240503.jpg", ""}};
    for (const auto& [path, when] : taken) {
        std::filesystem::create_directories(std::filesystem::path(root + "/" + path).parent_path());
        nw::test::makeJpeg(root + "/" + path, when.empty()
                                                  ? std::map<std::string, std::string>{}
                                                  : std::map<std::string, std::string>{
                                                        {"Exif.Photo.DateTimeOriginal", when}});
    }
    h.open(root);
    h.form->File1Menu->mnuSubfolders->trigger();
    QCOMPARE(h.list().ListCount(), 5);
    const Snapshot before = snapshotTree(root);
    h.click("cmdSelect(0)");
    h.form->SSTab1->setCurrentIndex(4);
    h.find<QLineEdit>("txtTemplate")->setText(QStringLiteral("{拍摄日期:yyyy-MM-dd HHmmss}"));
    const QString box = QStringLiteral("2024-05-01 123456.jpg文件已经存在！\n"
                                       "原文件：DCIM/Camera/IMG_20240501_123456_1.jpg");
    queueExistsAnswer(ExistsAnswer::Stop);
    h.click("cmdFacts");
    QStringList told = h.takeMessages().split(QLatin1Char('|'));
    QCOMPARE(told.size(), 2);
    QCOMPARE(told[0], box);
    QVERIFY2(told[1].contains(QStringLiteral("停在“DCIM/Camera/IMG_20240501_123456_1.jpg”之前")),
             qPrintable(told[1]));
    const Snapshot stopped = moved(before, {{"IMG_20240501_123456.jpg", "2024-05-01 123456.jpg"}});
    QCOMPARE(snapshotTree(root), stopped);
    QStringList left;
    for (int i = 0; i < h.list().ListCount(); ++i)
        if (h.list().Selected(i))
            left << h.names()[i];
    QCOMPARE(left, QStringList({"DCIM/Camera/IMG_20240501_123456_1.jpg",
                                "DCIM/Camera/IMG_20240502_080000.jpg",
                                "Pictures/Screenshots/Screenshot_20240503.jpg",
                                "Pictures/WeiXin/wx_camera_1714538096.jpg"}));

    queueExistsAnswer(ExistsAnswer::Skip);
    h.click("cmdFacts");
    told = h.takeMessages().split(QLatin1Char('|'));
    QCOMPARE(told.size(), 2);
    QCOMPARE(told[0], box);
    QVERIFY2(told[1].contains(
                 QStringLiteral("“Pictures/Screenshots/Screenshot_20240503.jpg”：没有拍摄日期")),
             qPrintable(told[1]));
    QCOMPARE(snapshotTree(root),
             moved(stopped, {{"IMG_20240502_080000.jpg", "2024-05-02 080000.jpg"},
                             {"wx_camera_1714538096.jpg", "2024-05-01 123456.jpg"}}));

    for (int pass = 0; pass < 2; ++pass) {
        h.form->File1Menu->update();
        h.form->File1Menu->mnuUndo->trigger();
    }
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
    QCOMPARE(snapshotTree(root), before);
}

// 全选 clicked while the tree is still being read, or while another folder
// opens (the reading held until the click is in), selects what is read, not
// the rows about to go.
void TreeTest::selectAllWhileTheTreeIsRead() {
    Harness h;
    const std::string root = h.work.path();
    for (const char* p : {"b.txt", "a/1.txt", "a/2.txt"})
        put(root, p);
    h.open(root);
    std::promise<void> clicked;
    std::shared_future<void> in = clicked.get_future().share();
    h.fs.beforeReading = [in] { in.wait(); };
    QTimer::singleShot(0, [&] {
        QVERIFY(h.list().isListing());
        h.click("cmdSelect(0)");
        clicked.set_value();
    });
    h.form->File1Menu->mnuSubfolders->trigger();
    h.fs.beforeReading = nullptr;
    QCOMPARE(h.names(), QStringList({"b.txt", "a/1.txt", "a/2.txt"}));
    auto selected = [&h] {
        int n = 0;
        for (int i = 0; i < h.list().ListCount(); ++i)
            n += h.list().Selected(i) ? 1 : 0;
        return n;
    };
    QTRY_COMPARE(selected(), 3);

    // The same while another folder opens, its subfolders read first.
    std::promise<void> clickedAgain;
    in = clickedAgain.get_future().share();
    h.fs.beforeReading = [in] { in.wait(); };
    QTimer::singleShot(0, [&] {
        h.click("cmdSelect(0)");
        clickedAgain.set_value();
    });
    h.open(root + "/a");
    h.fs.beforeReading = nullptr;
    QCOMPARE(h.names(), QStringList({"1.txt", "2.txt"}));
    QTRY_COMPARE(selected(), 2);
}

NW_APP_TEST(TreeTest)

} // namespace nw::app::test

#include "tree_test.moc"
