// Page "查找替换" through the real window and the real pass: a regex with a
// group over Chinese and GBK names, the example as the user types, patterns
// that do not compile or backtrack without end, a new name that exists, a
// replacement that leaves the folder, Enter for the preview, and undo.
#include "app_test_support.h"

#include "app/file_list_menu.h"
#include "app/preview_window.h"
#include "app/user_messages.h"
#include "platform/name_codec.h"
#include "tests/support/sample_names.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sys/stat.h>

namespace nw::app::test {

class FindReplaceTest : public QObject {
    Q_OBJECT
private slots:
    void aGroupOverChineseAndGbkNames();
    void theExampleAndWhatCannotRun();
    void existingNamesAndNamesThatLeaveTheFolder();
    void enterShowsThePreview();
};

namespace {

void setUp(Harness& h, const QString& find, const QString& replacement, bool regex) {
    h.form->SSTab1->setCurrentIndex(3);
    h.find<QLineEdit>("txtFind")->setText(find);
    h.find<QLineEdit>("txtReplace")->setText(replacement);
    h.find<QCheckBox>("chkRegex")->setChecked(regex);
}

} // namespace

void FindReplaceTest::aGroupOverChineseAndGbkNames() {
    Harness h;
    const std::string gbk = *nw::test::encodeWithIcu(NameEncoding::Gbk, U"第3集 会议.doc");
    file(h.work.path(), "第1集 [www.example.com].mp4", "one");
    file(h.work.path(), "第12集.MP4", "twelve");
    file(h.work.path(), gbk, "gbk");
    file(h.work.path(), "readme.txt", "plain");
    h.form->File1->chooseCodePage(NameEncoding::Gbk);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    setUp(h, QStringLiteral("第(\\d+)集"), QStringLiteral("S01E$1"), true);
    h.click("cmdSelect(0)");
    h.click("cmdReplace");
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
    // The GBK name stays GBK; readme.txt has no match and is left.
    const std::string gbkAfter = *nw::test::encodeWithIcu(NameEncoding::Gbk, U"S01E3 会议.doc");
    const Snapshot replaced =
        nw::test::renamed(before, {{"第1集 [www.example.com].mp4", "S01E1 [www.example.com].mp4"},
                                   {"第12集.MP4", "S01E12.MP4"},
                                   {gbk, gbkAfter}});
    QCOMPARE(nw::test::snapshot(h.work.path()), replaced);

    // Plain text, letter case folded, the extension only.
    setUp(h, QStringLiteral("mp4"), QStringLiteral("mkv"), false);
    h.find<QCheckBox>("chkPrefix")->setChecked(false);
    h.click("cmdSelect(3)");
    h.click("cmdSelect(0)");
    h.click("cmdReplace");
    const Snapshot extension =
        nw::test::renamed(replaced, {{"S01E1 [www.example.com].mp4", "S01E1 [www.example.com].mkv"},
                                     {"S01E12.MP4", "S01E12.mkv"}});
    QCOMPARE(nw::test::snapshot(h.work.path()), extension);
    // Undo takes back the last pass, then the one before.
    h.form->File1Menu->mnuUndo->trigger();
    QCOMPARE(nw::test::snapshot(h.work.path()), replaced);
    h.form->File1Menu->mnuUndo->trigger();
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
}

void FindReplaceTest::theExampleAndWhatCannotRun() {
    Harness h;
    file(h.work.path(), std::string(40, 'a') + "!.txt", "a");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    auto* target = h.find<QLabel>("lblFindTarget");
    QCOMPARE(target->text(), QStringLiteral("IMG_0001 第1集.JPG"));
    setUp(h, QStringLiteral("img_(\\d+)"), QStringLiteral("Photo-$1"), true);
    QCOMPARE(target->text(), QStringLiteral("Photo-0001 第1集.JPG"));
    h.find<QCheckBox>("chkMatchCase")->setChecked(true);
    QCOMPARE(target->text(), QStringLiteral("IMG_0001 第1集.JPG"));

    // A pattern that does not compile: said in the example and by the button.
    h.find<QLineEdit>("txtFind")->setText(QStringLiteral("第(\\d+集"));
    QVERIFY2(target->text().contains(QStringLiteral("第 7 个字符")) &&
                 target->text().contains(QStringLiteral("括号不配对")),
             qPrintable(target->text()));
    h.click("cmdSelect(0)");
    h.click("cmdReplace");
    QVERIFY(h.takeMessages().contains(QStringLiteral("括号不配对")));
    // A group the pattern does not have.
    h.find<QLineEdit>("txtFind")->setText(QStringLiteral("(\\d)"));
    h.find<QLineEdit>("txtReplace")->setText(QStringLiteral("$2"));
    QVERIFY(target->text().contains(QStringLiteral("没有的分组")));
    // Backtracking without end: the pass stops at the name, with the reason.
    h.find<QLineEdit>("txtFind")->setText(QStringLiteral("(a+)+$"));
    h.find<QLineEdit>("txtReplace")->setText(QStringLiteral("x"));
    h.find<QCheckBox>("chkPrefix")->setChecked(true);
    h.find<QCheckBox>("chkSuffix")->setChecked(false);
    h.click("cmdSelect(0)");
    h.click("cmdReplace");
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("运行太久")), qPrintable(msg));
    // Nothing to find, nowhere to look.
    h.find<QLineEdit>("txtFind")->clear();
    h.click("cmdReplace");
    QCOMPARE(h.takeMessages(), QStringLiteral("请输入查找内容"));
    h.find<QLineEdit>("txtFind")->setText(QStringLiteral("a"));
    h.find<QCheckBox>("chkPrefix")->setChecked(false);
    h.click("cmdReplace");
    QVERIFY(h.takeMessages().contains(QStringLiteral("查找范围")));
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
}

void FindReplaceTest::existingNamesAndNamesThatLeaveTheFolder() {
    Harness h;
    for (const char* n : {"a1.txt", "a2.txt", "b1.txt", "c.txt"})
        file(h.work.path(), n, n);
    ::mkdir((h.work.path() + "/sub").c_str(), 0755);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    // a1 -> b1 exists: the box; "跳过" leaves it; a2 -> b2 goes ahead.
    setUp(h, QStringLiteral("a"), QStringLiteral("b"), false);
    h.select({"a1.txt", "a2.txt"});
    queueExistsAnswer(ExistsAnswer::Skip);
    h.click("cmdReplace");
    QCOMPARE(h.takeMessages(), QStringLiteral("b1.txt文件已经存在！\n原文件：a1.txt")); // the box
    const Snapshot skipped = nw::test::renamed(before, {{"a2.txt", "b2.txt"}});
    QCOMPARE(nw::test::snapshot(h.work.path()), skipped);
    // A replacement that would move the file into another folder stops.
    setUp(h, QStringLiteral("c"), QStringLiteral("sub/c"), false);
    h.click("cmdSelect(3)");
    h.select({"c.txt"});
    h.click("cmdReplace");
    QVERIFY(h.takeMessages().contains(QStringLiteral("“/”")));
    // One that leaves no name at all.
    setUp(h, QStringLiteral("^.*$"), QString(), true);
    h.click("cmdSelect(3)");
    h.select({"c.txt"});
    h.click("cmdReplace");
    QVERIFY(h.takeMessages().contains(QStringLiteral("为空")));
    QCOMPARE(nw::test::snapshot(h.work.path()), skipped);
}

void FindReplaceTest::enterShowsThePreview() {
    Harness h;
    file(h.work.path(), "IMG_1.jpg", "1");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    setUp(h, QStringLiteral("IMG_"), QStringLiteral("2024_"), false);
    QTest::keyClick(h.find<QLineEdit>("txtReplace"), Qt::Key_Return);
    PreviewWindow* w = nullptr;
    for (PreviewWindow* p : h.form->findChildren<PreviewWindow*>())
        if (p->isVisible())
            w = p;
    QVERIFY(w);
    QCOMPARE(w->model->index(0, 1).data().toString(), QStringLiteral("2024_1.jpg"));
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"IMG_1.jpg", "2024_1.jpg"}}));
}

NW_APP_TEST(FindReplaceTest)

} // namespace nw::app::test

#include "find_replace_test.moc"
