#include "app_test_support.h"

#include "app/file_list_menu.h"
#include "app/form1.h"
#include "app/pass_runner.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>

#include <QRadioButton>
#include <fcntl.h>
#include <sys/stat.h>

namespace nw::app::test {

class BatchPageTest : public QObject {
    Q_OBJECT
private slots:
    void example_data();
    void example();
    void exampleWhileTyping();
    void workedPass();
    void everyClickNumbersFromTheIncrement();
    void ownNameExists();
    void hiddenFileIsNotReplaced();
    void slashIsRefused();
    void badIncrementStopsThePass();
    void startWidthAndCarryingOn();
    void numberedInTheChosenOrder();
};

QStringList targets(Harness& h) {
    return {h.find<QLabel>("lblTarget(0)")->text(), h.find<QLabel>("lblTarget(1)")->text()};
}

void BatchPageTest::example_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("step");
    QTest::addColumn<int>("placement");
    QTest::addColumn<QStringList>("results");
    QTest::newRow("empty") << ""
                           << "1" << 0 << QStringList{"1.gif", "2.gif"};
    QTest::newRow("pic") << "pic"
                         << "1" << 0 << QStringList{"pic1.gif", "pic2.gif"};
    QTest::newRow("pic by 5") << "pic"
                              << "5" << 3 << QStringList{"examplepic5.gif", "modelpic10.gif"};
    QTest::newRow("_v after") << "_v"
                              << "1" << 5 << QStringList{"example.gif_v1", "model.gif_v2"};
    QTest::newRow("zero") << ""
                          << "0" << 1 << QStringList{"example.0", "model.0"};
}

void BatchPageTest::example() {
    QFETCH(QString, text);
    QFETCH(QString, step);
    QFETCH(int, placement);
    QFETCH(QStringList, results);
    Harness h;
    QCOMPARE(targets(h), QStringList({"1.gif", "2.gif"}));
    h.form->SSTab1->setCurrentIndex(1);
    QTest::keyClicks(h.find<QLineEdit>("Text1"), text);
    auto* inc = h.find<QLineEdit>("txtStep");
    inc->selectAll();
    QTest::keyClicks(inc, step);
    QTest::mouseClick(h.find<QRadioButton>(QStringLiteral("Option3(%1)").arg(placement)),
                      Qt::LeftButton);
    QCOMPARE(targets(h), results);
}

void BatchPageTest::exampleWhileTyping() {
    Harness h;
    h.form->SSTab1->setCurrentIndex(1);
    QTest::keyClicks(h.find<QLineEdit>("Text1"), QStringLiteral("pic"));
    QCOMPARE(targets(h), QStringList({"pic1.gif", "pic2.gif"}));
    QTest::mouseClick(h.find<QRadioButton>("Option3(5)"), Qt::LeftButton);
    QCOMPARE(targets(h), QStringList({"example.gifpic1", "model.gifpic2"}));

    Harness g;
    g.form->SSTab1->setCurrentIndex(1);
    auto* inc = g.find<QLineEdit>("txtStep");
    inc->clear(); // an empty box keeps both results
    QCOMPARE(targets(g), QStringList({"1.gif", "2.gif"}));
    QTest::keyClick(inc, Qt::Key_1);
    QCOMPARE(targets(g), QStringList({"1.gif", "2.gif"}));
    QTest::keyClick(inc, Qt::Key_0);
    QCOMPARE(targets(g), QStringList({"10.gif", "20.gif"}));
    inc->clear();
    QCOMPARE(targets(g), QStringList({"10.gif", "20.gif"}));
    QTest::keyClicks(inc, QStringLiteral("3"));
    QCOMPARE(targets(g), QStringList({"3.gif", "6.gif"}));
    inc->setText(QStringLiteral("20000"));
    QCOMPARE(targets(g), QStringList({"20000.gif", "6.gif"}));
    inc->setText(QStringLiteral("-"));
    QCOMPARE(targets(g), QStringList({"20000.gif", "6.gif"}));
    QVERIFY(g.messages.isEmpty());
}

void BatchPageTest::workedPass() {
    Harness h;
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "doc2.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("doc"));
    h.select({"a.txt", "b.txt", "d.txt"});
    h.click("Command2");
    QCOMPARE(h.messages, QStringList({"doc2.txt文件已经存在！\n原文件：b.txt"}));
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"a.txt", "doc1.txt"}, {"d.txt", "doc3.txt"}}));
    QCOMPARE(h.names(), QStringList({"b.txt", "c.txt", "doc1.txt", "doc2.txt", "doc3.txt"}));
}

void BatchPageTest::everyClickNumbersFromTheIncrement() {
    Harness h;
    for (const char* n : {"p.jpg", "q.jpg", "r.jpg"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("x"));
    h.find<QLineEdit>("txtStep")->setText(QStringLiteral("5"));
    h.select({"p.jpg", "r.jpg"}); // q.jpg takes no number
    h.click("Command2");
    QCOMPARE(h.names(), QStringList({"q.jpg", "x5.jpg", "x10.jpg"}));
    h.select({"q.jpg"});
    h.click("Command2");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"p.jpg", "x5.jpg"}, {"r.jpg", "x10.jpg"}}));
    // The second click started again at 5, which exists: told, nothing replaced.
    QCOMPARE(h.messages, QStringList({"x5.jpg文件已经存在！\n原文件：q.jpg"}));
}

void BatchPageTest::ownNameExists() {
    Harness h;
    file(h.work.path(), "1.gif", "one");
    file(h.work.path(), "z.gif", "zed");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.click("Command2");
    QCOMPARE(h.messages, QStringList({"1.gif文件已经存在！\n原文件：1.gif"}));
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, {{"z.gif", "2.gif"}}));
}

void BatchPageTest::hiddenFileIsNotReplaced() {
    Harness h;
    file(h.work.path(), ".1", "hidden data");
    file(h.work.path(), "a", "a data");
    file(h.work.path(), "b", "b data");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("."));
    h.find<QLineEdit>("txtStep")->setText(QStringLiteral("1"));
    h.click("cmdSelect(0)");
    h.click("Command2"); // a -> ".1", which the existence test does not see
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("“a”")) && msg.contains(QStringLiteral("已有同名")),
             qPrintable(msg));
}

void BatchPageTest::slashIsRefused() {
    Harness h;
    ::mkdir((h.work.path() + "/sub").c_str(), 0755);
    file(h.work.path(), "a.txt");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("sub/"));
    h.click("cmdSelect(0)");
    h.click("Command2");
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QVERIFY(nw::test::snapshot(h.work.path() + "/sub").empty());
    QVERIFY(h.takeMessages().contains(QStringLiteral("“/”")));
}

void BatchPageTest::badIncrementStopsThePass() {
    Harness h;
    file(h.work.path(), "a.txt");
    file(h.work.path(), "b.txt");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("txtStep")->setText(QStringLiteral("abc"));
    h.click("cmdSelect(0)");
    h.click("Command2");
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QVERIFY(h.takeMessages().contains(QStringLiteral("增量")));
    h.find<QLineEdit>("txtStep")->setText(QStringLiteral("20000"));
    h.click("Command2");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"a.txt", "20000.txt"}}));
    QVERIFY(h.takeMessages().contains(QStringLiteral("编号超出")));
}

NW_APP_TEST(BatchPageTest)

// 起始编号 and 位数 follow into the example; a pass stopped half way and
// clicked again numbers on where it stopped, so the folder ends as one
// uninterrupted pass leaves it; a width that cannot be used is said in the
// example and by the button, and nothing is renamed.
void BatchPageTest::startWidthAndCarryingOn() {
    Harness h;
    Snapshot expected;
    for (int i = 0; i < 10; ++i) {
        const std::string name = std::string(1, static_cast<char>('a' + i)) + ".mkv";
        file(h.work.path(), name, "episode " + name);
        char number[8];
        std::snprintf(number, sizeof number, "%02d", i + 1);
        expected["第" + std::string(number) + ".mkv"] = "episode " + name;
    }
    h.form->SSTab1->setCurrentIndex(1);
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("第"));
    h.find<QLineEdit>("txtStart")->setText(QStringLiteral("1"));
    h.find<QLineEdit>("txtWidth")->setText(QStringLiteral("2"));
    QCOMPARE(targets(h), QStringList({"第01.gif", "第02.gif"}));
    h.click("cmdSelect(3)");
    h.form->passRunner->setProgressTiming(0, 0);
    h.form->passRunner->setProgressHook([&](QProgressDialog& d, int done) {
        if (done == 4)
            QTest::mouseClick(d.findChild<QPushButton*>(), Qt::LeftButton);
    });
    h.click("cmdSelect(0)");
    h.click("Command2");
    QVERIFY(h.takeMessages().contains(QStringLiteral("已改名 4 个文件")));
    h.form->passRunner->setProgressHook(nullptr);
    h.click("Command2");
    QCOMPARE(h.takeMessages(), QString());
    QCOMPARE(nw::test::snapshot(h.work.path()), expected);

    h.find<QLineEdit>("txtWidth")->setText(QStringLiteral("10"));
    QCOMPARE(targets(h), QStringList({"位数无效（1 到 9）", ""}));
    h.click("cmdSelect(0)");
    h.click("Command2");
    QCOMPARE(h.takeMessages(), QStringLiteral("位数必须是 1 到 9 之间的整数（或者留空）"));
    QCOMPARE(nw::test::snapshot(h.work.path()), expected);
}

// 排序方式 decides what the list shows and what numbering follows: pinyin,
// then the files' times backwards; the choice is shown checked.
void BatchPageTest::numberedInTheChosenOrder() {
    Harness h;
    const char* names[] = {"中文", "阿里", "北京", "重庆"}; // in code-point order
    const long long minutes[] = {3, 1, 4, 2};
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::string(names[i]) + ".txt";
        file(h.work.path(), n, n);
        const timespec at[2] = {{minutes[i] * 60, 0}, {minutes[i] * 60, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, (h.work.path() + "/" + n).c_str(), at, 0), 0);
    }
    FileListMenu& menu = *h.form->File1Menu;
    menu.mnuSortKeys[1].first->trigger(); // 名称（拼音）
    QCOMPARE(h.names(), QStringList({"阿里.txt", "北京.txt", "重庆.txt", "中文.txt"}));
    h.form->SSTab1->setCurrentIndex(1);
    h.find<QLineEdit>("txtWidth")->setText(QStringLiteral("2"));
    h.click("cmdSelect(0)");
    h.click("Command2");
    QCOMPARE(nw::test::snapshot(h.work.path()), (Snapshot{{"01.txt", "阿里.txt"},
                                                          {"02.txt", "北京.txt"},
                                                          {"03.txt", "重庆.txt"},
                                                          {"04.txt", "中文.txt"}}));
    // By time, newest first: 北京 (4), 中文 (3), 重庆 (2), 阿里 (1).
    menu.mnuSortKeys[2].first->trigger();
    menu.mnuSortReversed->trigger();
    menu.update();
    QVERIFY(menu.mnuSortKeys[2].first->isChecked() && menu.mnuSortReversed->isChecked());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("新"));
    h.click("cmdSelect(0)");
    h.click("Command2");
    QCOMPARE(nw::test::snapshot(h.work.path()), (Snapshot{{"新01.txt", "北京.txt"},
                                                          {"新02.txt", "中文.txt"},
                                                          {"新03.txt", "重庆.txt"},
                                                          {"新04.txt", "阿里.txt"}}));
    QCOMPARE(h.takeMessages(), QString());
}

} // namespace nw::app::test

#include "batch_page_test.moc"
