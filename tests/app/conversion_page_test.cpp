#include "app_test_support.h"

#include "app/user_messages.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace nw::app::test {

class ConversionPageTest : public QObject {
    Q_OBJECT
private slots:
    void exampleFollowsTheSettings();
    void lowerCaseStopsAtAnExistingName();
    void unchangedNameGoesOn();
    void noRangeRenamesNothing();
    void nothingSelectedRefreshes();
};

QString t1(Harness& h) { return h.find<QLabel>("lblT1")->text(); }

void ConversionPageTest::exampleFollowsTheSettings() {
    Harness h;
    QCOMPARE(t1(h), QStringLiteral("Example.exe"));
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    QCOMPARE(t1(h), QStringLiteral("EXAMPLE.EXE"));
    QTest::mouseClick(h.find<QRadioButton>("Option2(1)"), Qt::LeftButton);
    QCOMPARE(t1(h), QStringLiteral("EXA_MPL_E.EXE"));
    QTest::mouseClick(h.find<QRadioButton>("Option2(2)"), Qt::LeftButton);
    QCOMPARE(t1(h), QStringLiteral("EXA MPL E.EXE"));
    // The options added later start off and empty; a width they cannot use
    // is said in the example and by the button.
    auto* numbers = h.find<QCheckBox>("chkArabicNumbers");
    QVERIFY(!h.find<QCheckBox>("chkHalfWidth")->isChecked() && !numbers->isChecked() &&
            h.find<QLineEdit>("txtNumberWidth")->text().isEmpty());
    h.find<QLineEdit>("txtNumberWidth")->setText(QStringLiteral("0"));
    QCOMPARE(t1(h), QStringLiteral("EXA MPL E.EXE")); // counts only for the numerals
    QTest::mouseClick(numbers, Qt::LeftButton);
    QCOMPARE(t1(h), QStringLiteral("位数无效（1 到 9）"));
    h.click("cmdSelect(0)");
    h.click("Command1");
    QCOMPARE(h.takeMessages(), QStringLiteral("位数必须是 1 到 9 之间的整数（或者留空）"));

    Harness g;
    QTest::mouseClick(g.find<QCheckBox>("Check2(1)"), Qt::LeftButton);
    QCOMPARE(t1(g), QStringLiteral("Example.exE"));
    QTest::mouseClick(g.find<QCheckBox>("Check2(0)"), Qt::LeftButton);
    QCOMPARE(t1(g), QString());
    QTest::mouseClick(g.find<QCheckBox>("Check2(1)"), Qt::LeftButton);
    QCOMPARE(t1(g), QStringLiteral("ExampLe.Exe"));
    QCOMPARE(g.find<QLabel>("lblS1")->text(), QStringLiteral("Exa mpL e.exE"));
}

void ConversionPageTest::lowerCaseStopsAtAnExistingName() {
    Harness h;
    file(h.work.path(), "A B.TXT", "spaced");
    file(h.work.path(), "ab.txt", "original");
    file(h.work.path(), "C.TXT", "later");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    QTest::mouseClick(h.find<QRadioButton>("Option1(1)"), Qt::LeftButton);
    h.select({"A B.TXT", "C.TXT"});
    queueExistsAnswer(ExistsAnswer::Stop); // the box for ab.txt: "停止改名"
    h.click("Command1");
    QCOMPARE(nw::test::snapshot(h.work.path()), before); // ab.txt untouched, C.TXT not reached
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("“A B.TXT”的新文件名“ab.txt”已经存在！")) &&
                 msg.contains(QStringLiteral("停止")),
             qPrintable(msg));
    // The list was not re-read: the selection still stands.
    QVERIFY(h.list().Selected(0));
}

void ConversionPageTest::unchangedNameGoesOn() {
    Harness h;
    file(h.work.path(), "readme.txt", "r");
    file(h.work.path(), "Second File.TXT", "s");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    QTest::mouseClick(h.find<QRadioButton>("Option1(1)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    QVERIFY(h.messages.isEmpty());
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"Second File.TXT", "secondfile.txt"}}));
    QCOMPARE(h.names(), QStringList({"readme.txt", "secondfile.txt"}));
}

void ConversionPageTest::noRangeRenamesNothing() {
    Harness h;
    file(h.work.path(), "a.txt");
    file(h.work.path(), "b.txt");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    QTest::mouseClick(h.find<QCheckBox>("Check2(0)"), Qt::LeftButton);
    QTest::mouseClick(h.find<QCheckBox>("Check2(1)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("a.txt")) && msg.contains(QStringLiteral("为空")),
             qPrintable(msg));
}

void ConversionPageTest::nothingSelectedRefreshes() {
    Harness h;
    file(h.work.path(), "x.TXT");
    h.click("cmdSelect(3)");
    file(h.work.path(), "new.txt"); // shows up only through the re-read
    h.click("Command1");
    QCOMPARE(h.names(), QStringList({"new.txt", "x.TXT"}));
    QCOMPARE(h.takeMessages(), QStringLiteral("请先选择要改名的文件"));
}

NW_APP_TEST(ConversionPageTest)

} // namespace nw::app::test

#include "conversion_page_test.moc"
