// GBK names in real folders, through the window: every tool keeps them GBK and
// leaves their double-byte characters whole; the file list's menu turns them
// into UTF-8.
#include "app_test_support.h"

#include "app/file_list_menu.h"
#include "platform/name_codec.h"

#include <QAction>
#include <QBrush>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

namespace nw::app::test {

// The GBK bytes of a name that reads back as GBK.
std::string gbk(const std::u32string& text) {
    const std::string bytes = writeName(text, NameEncoding::Gbk);
    return readName(bytes).encoding == NameEncoding::Gbk ? bytes : "not GBK: " + bytes;
}

std::string utf8(const std::u32string& text) { return encodeName(text); }

// A folder of GBK names beside a UTF-8 one and one that is neither.
struct LegacyFolder {
    const std::string g1 = gbk(U"資料.txt");     // 資 is D9 59: a "Y" as second byte
    const std::string g2 = gbk(U"會議說明.doc"); // 議 D7 68, 說 D5 66
    const std::string g3 = gbk(U"中國 Ａb.TXT"); // a full-width letter
    const std::string u = "报告 x.txt";
    const std::string x = "bad\xFFname.TXT";

    void fill(const std::string& folder) const {
        for (const std::string* n : {&g1, &g2, &g3, &u, &x})
            file(folder, *n, "content of " + *n);
    }
};

class LegacyNamesTest : public QObject {
    Q_OBJECT
private slots:
    void everyToolKeepsGbkNamesGbk_data();
    void everyToolKeepsGbkNamesGbk();
    void gbkNamesAreShownInGrey();
    void turningNamesIntoUtf8();
};

using Renames = std::map<std::string, std::string>;
using Setup = std::function<void(Harness&)>;

void LegacyNamesTest::everyToolKeepsGbkNamesGbk_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Renames>("renames");
    const LegacyFolder f;
    auto option = [](const char* name) {
        return
            [name](Harness& h) { QTest::mouseClick(h.find<QRadioButton>(name), Qt::LeftButton); };
    };
    auto text = [](const char* box, QString value) {
        return [box, value](Harness& h) { h.find<QLineEdit>(box)->setText(value); };
    };
    QTest::newRow("upper") << "Command1" << Setup(option("Option1(0)"))
                           << Renames{{f.g1, gbk(U"資料.TXT")},
                                      {f.g2, gbk(U"會議說明.DOC")},
                                      {f.g3, gbk(U"中國ＡB.TXT")},
                                      {f.u, "报告X.TXT"},
                                      {f.x, "BAD\xFFNAME.TXT"}};
    QTest::newRow("lower") << "Command1" << Setup(option("Option1(1)"))
                           << Renames{{f.g3, gbk(U"中國ａb.txt")},
                                      {f.u, "报告x.txt"},
                                      {f.x, "bad\xFFname.txt"}};
    // List order: bad…, 中國, 报告, 會議, 資料.
    QTest::newRow("number") << "Command2" << Setup(text("Text1", QStringLiteral("文档")))
                            << Renames{{f.x, "文档1.TXT"},
                                       {f.g3, gbk(U"文档2.TXT")},
                                       {f.u, "文档3.txt"},
                                       {f.g2, gbk(U"文档4.doc")},
                                       {f.g1, gbk(U"文档5.txt")}};
    // 图 is CD BC in GBK, which is also UTF-8 (U+037C): written in GBK, 图1.txt
    // would come back as another name, so it is written in UTF-8.
    QTest::newRow("GBK that reads as UTF-8")
        << "Command2" << Setup(text("Text1", QStringLiteral("图")))
        << Renames{{f.x, "图1.TXT"},
                   {f.g3, "图2.TXT"},
                   {f.u, "图3.txt"},
                   {f.g2, "图4.doc"},
                   {f.g1, "图5.txt"}};
    // What GBK cannot write makes a UTF-8 name.
    QTest::newRow("emoji") << "Command2" << Setup(text("Text1", QStringLiteral("\U0001F600")))
                           << Renames{{f.x, "\U0001F6001.TXT"},
                                      {f.g3, "\U0001F6002.TXT"},
                                      {f.u, "\U0001F6003.txt"},
                                      {f.g2, "\U0001F6004.doc"},
                                      {f.g1, "\U0001F6005.txt"}};
    QTest::newRow("extension") << "cmdChangeExt" << Setup(text("txtNewExt", QStringLiteral("文本")))
                               << Renames{{f.g1, gbk(U"資料.文本")},
                                          {f.g2, gbk(U"會議說明.文本")},
                                          {f.g3, gbk(U"中國 Ａb.文本")},
                                          {f.u, "报告 x.文本"},
                                          {f.x, "bad\xFFname.文本"}};
    QTest::newRow("removal") << "cmdRemoveStr" << Setup(text("txtRemoveStr", QStringLiteral("說")))
                             << Renames{{f.g2, gbk(U"會議明.doc")}};
    QTest::newRow("to simplified") << "cmdF2J" << Setup([](Harness&) {})
                                   << Renames{{f.g1, gbk(U"资料.txt")},
                                              {f.g2, gbk(U"会议说明.doc")},
                                              {f.g3, gbk(U"中国 Ａb.TXT")}};
    QTest::newRow("to traditional")
        << "cmdJ2F" << Setup([](Harness&) {}) << Renames{{f.u, "報告 x.txt"}};
}

void LegacyNamesTest::everyToolKeepsGbkNamesGbk() {
    QFETCH(QString, button);
    QFETCH(Setup, setup);
    QFETCH(Renames, renames);
    Harness h(true);
    LegacyFolder().fill(h.work.path());
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    QCOMPARE(h.list().ListCount(), 5);
    setup(h);
    h.click("cmdSelect(0)");
    h.click(button);
    QCOMPARE(h.takeMessages(), QString());
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, renames));
}

void LegacyNamesTest::gbkNamesAreShownInGrey() {
    Harness h;
    LegacyFolder().fill(h.work.path());
    h.click("cmdSelect(3)");
    const QStringList names = h.names();
    QCOMPARE(names, QStringList({QStringLiteral("bad\uFFFDname.TXT"),
                                 QStringLiteral("中國 Ａb.TXT"), QStringLiteral("报告 x.txt"),
                                 QStringLiteral("會議說明.doc"), QStringLiteral("資料.txt")}));
    for (int i = 0; i < names.size(); ++i) {
        const QVariant fg = h.list().model()->index(i, 0).data(Qt::ForegroundRole);
        const bool grey = fg.isValid() && fg.value<QBrush>().color() == QColor(0x80, 0x80, 0x80);
        QCOMPARE(grey, h.list().Encoding(i) == NameEncoding::Gbk);
    }
    QCOMPARE(h.list().Encoding(1), NameEncoding::Gbk);
    QCOMPARE(h.list().Encoding(0), NameEncoding::Utf8);
}

void LegacyNamesTest::turningNamesIntoUtf8() {
    Harness h;
    const LegacyFolder f;
    f.fill(h.work.path());
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    // The menu comes up on the list's own request (right button, Menu key).
    QMenu* menu = h.form->File1Menu->menu;
    emit h.list().customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(h.form->File1Menu->mnuToUtf8->text(), QStringLiteral("文件名转为UTF-8"));

    h.select({QStringLiteral("中國 Ａb.TXT"), QStringLiteral("报告 x.txt"),
              QStringLiteral("bad\uFFFDname.TXT"), QStringLiteral("資料.txt")});
    h.form->File1Menu->mnuToUtf8->trigger();
    QCOMPARE(h.takeMessages(), QString());
    const Snapshot after =
        nw::test::renamed(before, {{f.g3, utf8(U"中國 Ａb.TXT")}, {f.g1, utf8(U"資料.txt")}});
    QCOMPARE(nw::test::snapshot(h.work.path()), after);
    for (int i = 0; i < h.list().ListCount(); ++i)
        QCOMPARE(h.list().Encoding(i) == NameEncoding::Gbk, h.list().List(i) == U"會議說明.doc");

    // Its UTF-8 name already taken: the pass stops there with the reason.
    file(h.work.path(), utf8(U"會議說明.doc"), "the UTF-8 one");
    file(h.work.path(), gbk(U"檔案.txt"), "after");
    h.click("cmdSelect(3)");
    const Snapshot taken = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.form->File1Menu->mnuToUtf8->trigger();
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("會議說明.doc")) &&
                 msg.contains(QStringLiteral("已有同名")),
             qPrintable(msg));
    QCOMPARE(nw::test::snapshot(h.work.path()), taken);
}

NW_APP_TEST(LegacyNamesTest)

} // namespace nw::app::test

#include "legacy_names_test.moc"
