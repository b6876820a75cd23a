#include "app_test_support.h"

#include "app/user_messages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <sys/stat.h>

namespace nw::app::test {

class OtherPageTest : public QObject {
    Q_OBJECT
private slots:
    void extensionChange();
    void extensionGuardAndSlash();
    void removal();
    void removalLeavingNoName();
    void traditionalAndSimplified();
    void takenNamesAskAndTheRestConvert_data();
    void takenNamesAskAndTheRestConvert();
    void withoutATable();
};

void OtherPageTest::extensionChange() {
    Harness h;
    for (const char* n : {"a.doc", "a.rtf", "b.txt", "c.TXT", "README"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("txtNewExt")->setText(QStringLiteral("\u3000 txt  "));
    h.select({"b.txt", "c.TXT", "README"});
    h.click("cmdChangeExt");
    QVERIFY(h.messages.isEmpty());
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"c.TXT", "c.txt"}, {"README", "README.txt"}}));
    h.select({"a.doc", "a.rtf"});
    h.click("cmdChangeExt");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before,
                               {{"c.TXT", "c.txt"}, {"README", "README.txt"}, {"a.doc", "a.txt"}}));
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("a.rtf")) && msg.contains(QStringLiteral("a.txt")),
             qPrintable(msg));
}

void OtherPageTest::extensionGuardAndSlash() {
    Harness h;
    ::mkdir((h.work.path() + "/sub").c_str(), 0755);
    file(h.work.path(), "a.doc");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    file(h.work.path(), "late.doc"); // would show up on a re-read
    h.find<QLineEdit>("txtNewExt")->setText(QStringLiteral("   "));
    h.click("cmdChangeExt");
    QCOMPARE(h.names(), QStringList({"a.doc"})); // nothing happened but the hint
    QCOMPARE(h.takeMessages(), QStringLiteral("请输入新扩展名"));
    h.find<QLineEdit>("txtNewExt")->setText(QStringLiteral("/../sub/x"));
    h.click("cmdChangeExt");
    QVERIFY(h.takeMessages().contains(QStringLiteral("“/”")));
    QCOMPARE(nw::test::snapshot(h.work.path()).count("a.doc"), 1u);
    QVERIFY(nw::test::snapshot(h.work.path() + "/sub").empty());
    Q_UNUSED(before);
}

void OtherPageTest::removal() {
    Harness h;
    for (const char* n : {"abcabc.txt", "ABC.txt", "copy of x.txt", "zz.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("txtRemoveStr")->setText(QStringLiteral("abc"));
    h.click("cmdSelect(0)");
    h.click("cmdRemoveStr");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"abcabc.txt", "abc.txt"}}));
    h.click("cmdSelect(0)");
    h.click("cmdRemoveStr");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"abcabc.txt", ".txt"}}));
    h.find<QLineEdit>("txtRemoveStr")->setText(QStringLiteral("copy "));
    h.click("cmdSelect(0)");
    h.click("cmdRemoveStr");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"abcabc.txt", ".txt"}, {"copy of x.txt", "of x.txt"}}));
    QVERIFY(h.messages.isEmpty());
    // Empty text: nothing happens, not even a re-read.
    file(h.work.path(), "late.txt");
    h.find<QLineEdit>("txtRemoveStr")->clear();
    h.click("cmdRemoveStr");
    QVERIFY(!h.names().contains(QStringLiteral("late.txt")));
}

void OtherPageTest::removalLeavingNoName() {
    Harness h;
    file(h.work.path(), "whole");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("txtRemoveStr")->setText(QStringLiteral("whole"));
    h.click("cmdSelect(0)");
    h.click("cmdRemoveStr");
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QVERIFY(h.takeMessages().contains(QStringLiteral("为空")));
}

void OtherPageTest::traditionalAndSimplified() {
    Harness h(true);
    file(h.work.path(), "中國.txt", "cn");
    file(h.work.path(), "報告.檔", "report");
    file(h.work.path(), "plain.txt", "plain");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.click("cmdF2J");
    QVERIFY(h.messages.isEmpty());
    const Snapshot simplified =
        nw::test::renamed(before, {{"中國.txt", "中国.txt"}, {"報告.檔", "报告.档"}});
    QCOMPARE(nw::test::snapshot(h.work.path()), simplified);
    h.select({"中国.txt"});
    h.click("cmdJ2F");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(simplified, {{"中国.txt", "中國.txt"}}));
    // Nothing selected: nothing renamed, the list re-read.
    file(h.work.path(), "新.txt");
    h.click("cmdF2J");
    QVERIFY(h.names().contains(QStringLiteral("新.txt")));
    QCOMPARE(h.takeMessages(), QStringLiteral("请先选择要改名的文件"));
}

// A new name another file already has brings up the box, as on 批量改名:
// "跳过" leaves that file and converts the rest in the same click, "停止改名"
// stops there. Both scripts side by side (中国 and 中國) are the usual case.
void OtherPageTest::takenNamesAskAndTheRestConvert_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("left"); // the selected names not renamed
    const QStringList both{"中国.txt", "中國.txt", "头发护理.txt", "周报模板.txt", "更新日志.txt"};
    QTest::newRow("skip") << "cmdJ2F" << both << int(ExistsAnswer::Skip)
                          << "“中国.txt”的新文件名“中國.txt”已经存在！"
                          << QStringList{"中国.txt", "中國.txt"};
    QTest::newRow("stop") << "cmdJ2F" << both << int(ExistsAnswer::Stop)
                          << "“中国.txt”的新文件名“中國.txt”已经存在！" << both;
    QTest::newRow("to simplified")
        << "cmdF2J" << QStringList{"發.txt", "发.txt", "萬.txt"} << int(ExistsAnswer::Skip)
        << "“發.txt”的新文件名“发.txt”已经存在！" << QStringList{"發.txt", "发.txt"};
    QTest::newRow("upper case, 文件名转换")
        << "Command1" << QStringList{"a.txt", "A.TXT", "b.txt"} << int(ExistsAnswer::Skip)
        << "“a.txt”的新文件名“A.TXT”已经存在！" << QStringList{"a.txt", "A.TXT"};
    QTest::newRow("extension") << "cmdChangeExt" << QStringList{"a.doc", "a.rtf", "b.rtf"}
                               << int(ExistsAnswer::Skip) << "“a.rtf”的新文件名“a.doc”已经存在！"
                               << QStringList{"a.doc", "a.rtf"};
}

void OtherPageTest::takenNamesAskAndTheRestConvert() {
    QFETCH(QString, button);
    QFETCH(QStringList, names);
    QFETCH(int, answer);
    QFETCH(QString, box);
    QFETCH(QStringList, left);
    Harness h;
    for (const QString& n : names)
        file(h.work.path(), n.toStdString(), n.toStdString());
    h.find<QLineEdit>("txtNewExt")->setText(QStringLiteral("doc"));
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton); // 大写
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    queueExistsAnswer(ExistsAnswer(answer));
    h.click(button);
    const QString msg = h.takeMessages();
    QVERIFY2(msg.startsWith(box), qPrintable(msg));
    QCOMPARE(msg.count(QStringLiteral("已经存在")), 1);
    const Snapshot after = nw::test::snapshot(h.work.path());
    QCOMPARE(after.size(), before.size()); // nothing lost, nothing replaced
    for (const auto& [name, content] : before) {
        const bool stays = left.contains(QString::fromStdString(name));
        QVERIFY2(after.count(name) == (stays ? 1u : 0u), name.c_str());
        if (stays)
            QCOMPARE(after.at(name), content);
    }
}

void OtherPageTest::withoutATable() {
    Harness h;
    h.find<QComboBox>("cboStandard")->setCurrentIndex(4); // "逐字转换（F2J.txt）"
    file(h.work.path(), "中國.txt");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.click("cmdF2J");
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QString::fromStdString(h.program.path() + "/F2J.txt")) &&
                 msg.contains(QStringLiteral("不存在或为空")),
             qPrintable(msg));
    h.click("cmdJ2F");
    QVERIFY(!h.takeMessages().isEmpty());
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
}

NW_APP_TEST(OtherPageTest)

} // namespace nw::app::test

#include "other_page_test.moc"
