#include "app_test_support.h"

#include "tests/support/fuse_image.h"

#include "app/drive_list.h"
#include "app/folder_tree.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <QElapsedTimer>
#include <QTimer>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace nw::app::test {

class BrowserTest : public QObject {
    Q_OBJECT
private slots:
    void filterChoiceListsOnlyItsTypes();
    void attributeBoxes();
    void selectClearInvertRefresh();
    void typedPathWithEnterAndButton();
    void typedPathThatFails();
    void typedPathOnAnotherMount();
    void driveChoice();
    void folderTreeOpensOnDoubleClickOnly();
    void doubleClickSelectsThePath();
    void folderThatDisappearsWhileShown();
    void drivesFollowTheMounts();
    void aBigFolderIsReadWhileTheWindowAnswers();
};

void chooseFilter(Harness& h, int item) {
    auto* combo = h.find<QComboBox>("Combo1");
    combo->setCurrentIndex(item);
    emit combo->activated(item);
}

void BrowserTest::filterChoiceListsOnlyItsTypes() {
    Harness h;
    for (const char* n : {"a.bmp", "b.GIF", "c.jpg", "d.jpeg", "e.txt", "README", "f.gif.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    QCOMPARE(h.names().size(), 7);
    chooseFilter(h, 10);
    QCOMPARE(h.names(), QStringList({"a.bmp", "b.GIF", "c.jpg"}));
    QCOMPARE(QString::fromStdU32String(h.list().pattern()), QStringLiteral("*.bmp;*.gif;*.jpg"));
    chooseFilter(h, 1);
    QCOMPARE(h.names(), QStringList({"e.txt", "f.gif.txt"}));
    // The kinds added after the old items, in either case.
    const std::vector<std::pair<int, QStringList>> kinds{
        {11, {"a.bmp", "b.GIF", "c.jpg", "d.jpeg"}},
        {14, {}},
        {15, {"e.txt", "f.gif.txt"}},
        {13, {}}};
    for (const auto& [item, names] : kinds) {
        chooseFilter(h, item);
        QCOMPARE(h.names(), names);
    }
    QCOMPARE(h.find<QComboBox>("Combo1")->itemText(13).left(3), QStringLiteral("音乐("));
    // Every file hidden by the filter: the empty list says so.
    QCOMPARE(h.list().emptyText(), QStringLiteral("筛选条件隐藏了全部 7 个文件"));
    chooseFilter(h, 0);
    QCOMPARE(h.names().size(), 7);
    QVERIFY(h.list().emptyText().isEmpty());
    // A short text is the pattern as it stands.
    auto* combo = h.find<QComboBox>("Combo1");
    combo->setEditText(QStringLiteral("*.c"));
    h.form->Combo1_Click();
    QCOMPARE(QString::fromStdU32String(h.list().pattern()), QStringLiteral("*.c"));
    QVERIFY(h.names().isEmpty());
    // Typing alone changes nothing.
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("xyz"));
    QCOMPARE(QString::fromStdU32String(h.list().pattern()), QStringLiteral("*.c"));
}

void BrowserTest::attributeBoxes() {
    Harness h;
    file(h.work.path(), "normal.txt");
    file(h.work.path(), ".hidden");
    ::mkfifo((h.work.path() + "/pipe").c_str(), 0644);
    h.click("cmdSelect(3)");
    QCOMPARE(h.names(), QStringList({"normal.txt"}));
    auto* normal = h.find<QCheckBox>("Check1(0)");
    auto* hidden = h.find<QCheckBox>("Check1(2)");
    auto* system = h.find<QCheckBox>("Check1(3)");
    QTest::mouseClick(normal, Qt::LeftButton);
    QVERIFY(h.names().isEmpty());
    QTest::mouseClick(hidden, Qt::LeftButton);
    QCOMPARE(h.names(), QStringList({".hidden"}));
    QTest::mouseClick(normal, Qt::LeftButton);
    QCOMPARE(h.names(), QStringList({".hidden", "normal.txt"}));
    QTest::mouseClick(system, Qt::LeftButton);
    QCOMPARE(h.names(), QStringList({".hidden", "normal.txt", "pipe"}));
    QTest::mouseClick(system, Qt::LeftButton);
    QTest::mouseClick(hidden, Qt::LeftButton);
    QCOMPARE(h.names(), QStringList({"normal.txt"}));
}

QList<int> selectedRows(Harness& h) {
    QList<int> out;
    for (int i = 0; i < h.list().ListCount(); ++i)
        if (h.list().Selected(i))
            out << i;
    return out;
}

void BrowserTest::selectClearInvertRefresh() {
    Harness h;
    for (int i = 0; i < 500; ++i)
        file(h.work.path(), "f" + std::to_string(i));
    h.click("cmdSelect(3)");
    QCOMPARE(h.list().ListCount(), 500);
    h.click("cmdSelect(0)");
    QCOMPARE(selectedRows(h).size(), 500);
    h.click("cmdSelect(1)");
    QVERIFY(selectedRows(h).isEmpty());

    TempFolder four;
    for (const char* n : {"a", "b", "c", "d"})
        file(four.path(), n);
    h.open(four.path());
    h.select({"a", "c"});
    h.click("cmdSelect(2)");
    QCOMPARE(selectedRows(h), QList<int>({1, 3}));
    h.click("cmdSelect(2)");
    QCOMPARE(selectedRows(h), QList<int>({0, 2}));
    // Runs that touch either end, all and none.
    h.select({"a", "d"});
    h.click("cmdSelect(2)");
    QCOMPARE(selectedRows(h), QList<int>({1, 2}));
    h.click("cmdSelect(0)");
    h.click("cmdSelect(2)");
    QVERIFY(selectedRows(h).isEmpty());
    h.click("cmdSelect(2)");
    QCOMPARE(selectedRows(h), QList<int>({0, 1, 2, 3}));
    file(four.path(), "b2");
    h.click("cmdSelect(3)");
    QCOMPARE(h.names(), QStringList({"a", "b", "b2", "c", "d"}));
    QVERIFY(selectedRows(h).isEmpty());
    // Inverting an empty list does nothing.
    TempFolder empty;
    h.open(empty.path());
    h.click("cmdSelect(2)");
    QVERIFY(selectedRows(h).isEmpty());
}

void BrowserTest::typedPathWithEnterAndButton() {
    Harness h;
    ::mkdir((h.work.path() + "/sub").c_str(), 0755);
    file(h.work.path() + "/sub", "inside.txt");
    auto* path = h.find<QLineEdit>("txtPath");
    path->setText(QString::fromStdString("  " + h.work.path() + "/sub/  "));
    QTest::keyClick(path, Qt::Key_Return);
    QCOMPARE(h.list().Path(), h.work.path() + "/sub");
    QCOMPARE(h.form->Dir1->Path(), h.work.path() + "/sub");
    // The tree's form of the path, and no character left by the Enter key.
    QCOMPARE(path->text(), QString::fromStdString(h.work.path() + "/sub"));
    QCOMPARE(h.names(), QStringList({"inside.txt"}));
    // Spaces only: nothing changes.
    path->setText(QStringLiteral("   "));
    h.click("cmdGoPath");
    QTest::keyClick(path, Qt::Key_Enter);
    QCOMPARE(path->text(), QStringLiteral("   "));
    QCOMPARE(h.list().Path(), h.work.path() + "/sub");
    // A relative path is taken from the folder shown.
    path->setText(QStringLiteral(".."));
    h.click("cmdGoPath");
    QCOMPARE(h.list().Path(), h.work.path());
    QVERIFY(h.messages.isEmpty());
}

void BrowserTest::typedPathThatFails() {
    Harness h;
    file(h.work.path(), "keep.txt");
    h.click("cmdSelect(3)");
    auto* path = h.find<QLineEdit>("txtPath");
    const QString typed = QString::fromStdString(h.work.path() + "/does-not-exist");
    path->setText(typed);
    h.click("cmdGoPath");
    // Same drive: everything stays, typed text included, and the user is told.
    QCOMPARE(path->text(), typed);
    QCOMPARE(h.list().Path(), h.work.path());
    QCOMPARE(h.form->Dir1->Path(), h.work.path());
    QCOMPARE(h.names(), QStringList({"keep.txt"}));
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(typed) && msg.contains(QStringLiteral("不存在")), qPrintable(msg));
    // A path to a file opens its folder with the file selected.
    file(h.work.path(), "other.txt");
    h.click("cmdSelect(3)");
    path->setText(QString::fromStdString(h.work.path() + "/keep.txt"));
    h.click("cmdGoPath");
    QCOMPARE(h.takeMessages(), QString());
    QCOMPARE(h.list().Path(), h.work.path());
    QCOMPARE(h.names(), QStringList({"keep.txt", "other.txt"}));
    QVERIFY(h.list().Selected(0) && !h.list().Selected(1));
}

void BrowserTest::typedPathOnAnotherMount() {
    TempFolder other;
    ::mkdir((other.path() + "/deep").c_str(), 0755);
    file(other.path() + "/deep", "there.txt");
    Harness h(false, {other.path()});
    QCOMPARE(h.form->Drive1->Drive(), std::string("/"));
    h.open(other.path() + "/deep");
    QCOMPARE(h.form->Drive1->Drive(), other.path());
    QCOMPARE(h.form->Drive1->currentText(), QString::fromStdString(other.path()));
    QCOMPARE(h.form->Dir1->Path(), other.path() + "/deep");
    QCOMPARE(h.names(), QStringList({"there.txt"}));
    QCOMPARE(h.find<QLineEdit>("txtPath")->text(), QString::fromStdString(other.path() + "/deep"));
    // The tree starts at that mount's root.
    QCOMPARE(h.form->Dir1->topLevelItem(0)->text(0), QString::fromStdString(other.path()));

    // Back on "/", the drive step already moved everything before the folder
    // step fails.
    auto* path = h.find<QLineEdit>("txtPath");
    path->setText(QString::fromStdString(h.work.path() + "/missing"));
    h.click("cmdGoPath");
    QCOMPARE(h.form->Drive1->Drive(), std::string("/"));
    QCOMPARE(h.form->Dir1->Path(), std::string("/"));
    QCOMPARE(path->text(), QStringLiteral("/"));
    QVERIFY(!h.takeMessages().isEmpty());
}

void BrowserTest::driveChoice() {
    TempFolder other;
    file(other.path(), "on-other.txt");
    Harness h(false, {other.path()});
    auto* drive = h.form->Drive1;
    const int index = drive->findText(QString::fromStdString(other.path()));
    QVERIFY(index > 0);
    drive->setCurrentIndex(index);
    emit drive->activated(index);
    QCOMPARE(h.form->Dir1->Path(), other.path());
    QCOMPARE(h.names(), QStringList({"on-other.txt"}));
    QCOMPARE(h.find<QLineEdit>("txtPath")->text(), QString::fromStdString(other.path()));
}

void BrowserTest::folderTreeOpensOnDoubleClickOnly() {
    Harness h;
    ::mkdir((h.work.path() + "/child").c_str(), 0755);
    file(h.work.path() + "/child", "c.txt");
    h.open(h.work.path());
    QTreeWidget* tree = h.form->Dir1;
    QTreeWidgetItem* child = tree->findItems(QStringLiteral("child"), Qt::MatchRecursive).value(0);
    QVERIFY(child);
    const QRect r = tree->visualItemRect(child);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(h.list().Path(), h.work.path());
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, r.center());
    QCOMPARE(h.list().Path(), h.work.path() + "/child");
    QCOMPARE(h.find<QLineEdit>("txtPath")->text(),
             QString::fromStdString(h.work.path() + "/child"));
    QCOMPARE(h.names(), QStringList({"c.txt"}));
    // The parent is in the tree and opens the same way.
    QTreeWidgetItem* parent = tree->currentItem()->parent();
    QTest::qWait(QApplication::doubleClickInterval() + 50);

    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(parent).center());
    QCOMPARE(h.list().Path(), h.work.path());
}

void BrowserTest::doubleClickSelectsThePath() {
    Harness h;
    auto* path = h.find<QLineEdit>("txtPath");
    path->setText(QStringLiteral("/some where/else"));
    QTest::mouseDClick(path, Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(path->selectedText(), QStringLiteral("/some where/else"));
    QTest::keyClicks(path, QStringLiteral("/tmp"));
    QCOMPARE(path->text(), QStringLiteral("/tmp"));
}

void BrowserTest::folderThatDisappearsWhileShown() {
    Harness h;
    const std::string shown = h.work.path() + "/shown";
    ::mkdir(shown.c_str(), 0755);
    file(shown, "a b.txt");
    file(shown, "c d.txt");
    h.open(shown);
    h.click("cmdSelect(0)");
    const std::string moved = h.work.path() + "/moved";
    QCOMPARE(::rename(shown.c_str(), moved.c_str()), 0);

    // A tool names the first file and why; nothing is renamed.
    h.click("Command1");
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("“a b.txt”")) && msg.contains(QStringLiteral("不存在")),
             qPrintable(msg));
    QCOMPARE(h.names(), QStringList({"a b.txt", "c d.txt"}));

    // Refresh names the folder; the list keeps what it showed.
    h.click("cmdSelect(3)");
    const QString refresh = h.takeMessages();
    QVERIFY2(refresh.contains(QString::fromStdString(shown)), qPrintable(refresh));
    QCOMPARE(h.names(), QStringList({"a b.txt", "c d.txt"}));
    QCOMPARE(nw::test::snapshot(moved), (Snapshot{{"a b.txt", "a b.txt"}, {"c d.txt", "c d.txt"}}));
}

// A FUSE drive mounted under /mnt while the window is open appears in Drive1,
// a typed path on it selects it, and its removal takes it out again.
void BrowserTest::drivesFollowTheMounts() {
    if (const std::string why = nw::test::FuseImage::unavailable(); !why.empty())
        QSKIP(why.c_str());
    char tmpl[] = "/mnt/namewright-drive-XXXXXX";
    if (!::mkdtemp(tmpl))
        QSKIP("/mnt cannot be written here");
    const std::string point = tmpl;
    Harness h;
    auto* drive = h.form->Drive1;
    QVERIFY(drive->findText(QString::fromStdString(point)) < 0);
    {
        nw::test::FuseImage image(nw::test::FuseImage::Kind::Ntfs, point);
        QVERIFY2(image.mounted(), image.failure().c_str());
        file(point, "on the stick.txt");
        QTRY_VERIFY(drive->findText(QString::fromStdString(point)) >= 0);
        QCOMPARE(drive->Drive(), std::string("/")); // the shown folder has not moved
        h.open(point);
        QCOMPARE(drive->Drive(), point);
        QCOMPARE(h.names(), QStringList({QStringLiteral("on the stick.txt")}));
        QVERIFY(h.messages.isEmpty());
        image.unmount();
        QTRY_VERIFY(drive->findText(QString::fromStdString(point)) < 0);
    }
    ::rmdir(point.c_str());
    QCOMPARE(drive->Drive(), std::string("/"));
    // The shown folder's drive went away: told as a folder that failed.
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QString::fromStdString(point)) && msg.contains(QStringLiteral("不存在")),
             qPrintable(msg));
}

// A big folder is read by a thread of its own: the event loop keeps turning
// (the longest gap between two ticks of a 1 ms timer is measured), a tool
// clicked meanwhile says why it waits, and another folder chosen meanwhile
// has the last word. NAMEWRIGHT_LISTING_FILES sets the size (300000 for the
// figure in the README); the bound here is loose enough for a loaded machine.
void BrowserTest::aBigFolderIsReadWhileTheWindowAnswers() {
    const char* sizeText = std::getenv("NAMEWRIGHT_LISTING_FILES");
    const int files = sizeText ? std::atoi(sizeText) : 30000;
    // On tmpfs where there is one: the test is about the window, not the disk.
    struct stat st {};
    std::string where = ::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    where += "/namewright-big-XXXXXX";
    QVERIFY(::mkdtemp(where.data()));
    struct Gone {
        std::string path;
        ~Gone() { std::filesystem::remove_all(path); }
    } gone{where};
    for (int i = 0; i < files; ++i)
        ::close(
            ::open((where + "/f" + std::to_string(i) + ".txt").c_str(), O_WRONLY | O_CREAT, 0644));
    Harness h;
    file(h.work.path(), "small.txt");

    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setInterval(1);
    connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    bool clickedWhileReading = false;
    QString saidThen;
    QTimer::singleShot(0, [&] {
        clickedWhileReading = true;
        h.find<QPushButton>("Command1")->click();
        saidThen = h.takeMessages();
    });
    clock.start();
    tick.start();
    h.open(where);
    const qint64 took = clock.elapsed();
    // The list then lays out and paints its rows: that counts too.
    h.list().update();
    QTest::qWait(200);
    tick.stop();
    QCOMPARE(h.list().ListCount(), files);
    qInfo("%d files read in %lld ms; longest gap between ticks %lld ms", files, took, longest);
    QVERIFY2(longest <= (files > 100000 ? 100 : 250), qPrintable(QString::number(longest)));
    QVERIFY(clickedWhileReading);
    QCOMPARE(saidThen, QStringLiteral("正在读取文件夹，请等文件列表读完再改名。"));

    // Another folder chosen while the big one is read: the last one chosen
    // is what the list shows.
    QTimer::singleShot(0, [&] { h.open(h.work.path()); });
    h.open(where);
    QCOMPARE(h.list().Path(), h.work.path());
    QCOMPARE(h.names(), QStringList({"small.txt"}));
    QVERIFY(!h.list().isListing());
    QCOMPARE(h.takeMessages(), QString());
}

NW_APP_TEST(BrowserTest)

} // namespace nw::app::test

#include "browser_test.moc"
