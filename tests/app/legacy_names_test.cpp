// Legacy names in real folders, through the window: each folder's code page
// judged, every tool keeping the names in it and leaving unreadable ones byte
// for byte, the user's choice of code page, and the repair to UTF-8 with its
// preview.
#include "app_test_support.h"

#include "app/contrast.h"

#include "app/command_line.h"
#include "app/user_messages.h"

#include "app/file_list_menu.h"
#include "app/preview_window.h"
#include "app/qt_text.h"
#include "platform/name_codec.h"
#include "tests/support/sample_names.h"

#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include <fstream>
#include <random>
#include <set>
#include <sys/stat.h>

namespace nw::app::test {

// The GBK bytes of a name, by ICU's own converter.
std::string gbk(const std::u32string& text) {
    return nw::test::encodeWithIcu(NameEncoding::Gbk, text).value_or("not GBK");
}

std::string utf8(const std::u32string& text) { return encodeName(text); }

// A folder of GBK names beside a UTF-8 one and one that is neither.
struct LegacyFolder {
    const std::string g1 = gbk(U"資料.txt");     // 資 is D9 59: a "Y" as second byte
    const std::string g2 = gbk(U"會議說明.doc"); // 議 D7 68, 說 D5 66
    const std::string g3 = gbk(U"中國 Ａb.TXT"); // a full-width letter
    const std::string u = "报告 x.txt";
    const std::string x = "bad\xFFname.TXT"; // not GBK: never read

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
    void eachCodePageIsReadShownAndRepaired_data();
    void eachCodePageIsReadShownAndRepaired();
    void theUserSaysWhichCodePage();
    void aRepairThatWouldBeTooLongIsShownAndLeft();
    void turningNamesIntoUtf8AsksWhereTheNameIsTaken();
    void traditionalGbkBesideStrayBytesKeepsItsCharacters_data();
    void traditionalGbkBesideStrayBytesKeepsItsCharacters();
    void westernNamesUnderATaiwanLocaleAreAllRead();
    void legacyFoldersAreReachedHoweverGiven_data();
    void legacyFoldersAreReachedHoweverGiven();
};

using Renames = std::map<std::string, std::string>;
using Setup = std::function<void(Harness&)>;

void LegacyNamesTest::everyToolKeepsGbkNamesGbk_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Renames>("renames");
    QTest::addColumn<bool>("leavesUnread"); // x: its characters cannot be read
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
                                      {f.u, "报告X.TXT"}}
                           << true;
    QTest::newRow("lower") << "Command1" << Setup(option("Option1(1)"))
                           << Renames{{f.g3, gbk(U"中國ａb.txt")}, {f.u, "报告x.txt"}} << true;
    // List order: bad…, 中國, 报告, 會議, 資料.
    QTest::newRow("number") << "Command2" << Setup(text("Text1", QStringLiteral("文档")))
                            << Renames{{f.x, "文档1.TXT"},
                                       {f.g3, gbk(U"文档2.TXT")},
                                       {f.u, "文档3.txt"},
                                       {f.g2, gbk(U"文档4.doc")},
                                       {f.g1, gbk(U"文档5.txt")}}
                            << false;
    QTest::newRow("half width, spaces kept") << "Command1" << Setup([option](Harness& h) {
        option("Option1(1)")(h);
        option("Option2(2)")(h);
        QTest::mouseClick(h.find<QCheckBox>("chkHalfWidth"), Qt::LeftButton);
    }) << Renames{{f.g3, gbk(U"中國 ab.txt")}}
                                             << true;
    QTest::newRow("number from 8, width 3") << "Command2" << Setup([text](Harness& h) {
        text("Text1", QStringLiteral("文档"))(h);
        text("txtStart", QStringLiteral("8"))(h);
        text("txtWidth", QStringLiteral("3"))(h);
    })
                                            << Renames{{f.x, "文档008.TXT"},
                                                       {f.g3, gbk(U"文档009.TXT")},
                                                       {f.u, "文档010.txt"},
                                                       {f.g2, gbk(U"文档011.doc")},
                                                       {f.g1, gbk(U"文档012.txt")}}
                                            << false;
    // 图 is CD BC in GBK, which is also UTF-8 (U+037C): written in GBK, 图1.txt
    // would come back as another name, so it is written in UTF-8.
    QTest::newRow("GBK that reads as UTF-8")
        << "Command2" << Setup(text("Text1", QStringLiteral("图")))
        << Renames{{f.x, "图1.TXT"},
                   {f.g3, "图2.TXT"},
                   {f.u, "图3.txt"},
                   {f.g2, "图4.doc"},
                   {f.g1, "图5.txt"}}
        << false;
    // What GBK cannot write makes a UTF-8 name.
    QTest::newRow("emoji") << "Command2" << Setup(text("Text1", QStringLiteral("\U0001F600")))
                           << Renames{{f.x, "\U0001F6001.TXT"},
                                      {f.g3, "\U0001F6002.TXT"},
                                      {f.u, "\U0001F6003.txt"},
                                      {f.g2, "\U0001F6004.doc"},
                                      {f.g1, "\U0001F6005.txt"}}
                           << false;
    QTest::newRow("extension") << "cmdChangeExt" << Setup(text("txtNewExt", QStringLiteral("文本")))
                               << Renames{{f.g1, gbk(U"資料.文本")},
                                          {f.g2, gbk(U"會議說明.文本")},
                                          {f.g3, gbk(U"中國 Ａb.文本")},
                                          {f.u, "报告 x.文本"}}
                               << true;
    QTest::newRow("removal") << "cmdRemoveStr" << Setup(text("txtRemoveStr", QStringLiteral("說")))
                             << Renames{{f.g2, gbk(U"會議明.doc")}} << true;
    QTest::newRow("to simplified") << "cmdF2J" << Setup([](Harness&) {})
                                   << Renames{{f.g1, gbk(U"资料.txt")},
                                              {f.g2, gbk(U"会议说明.doc")},
                                              {f.g3, gbk(U"中国 Ａb.TXT")}}
                                   << true;
    QTest::newRow("to traditional")
        << "cmdJ2F" << Setup([](Harness&) {}) << Renames{{f.u, "報告 x.txt"}} << true;
}

void LegacyNamesTest::everyToolKeepsGbkNamesGbk() {
    QFETCH(QString, button);
    QFETCH(Setup, setup);
    QFETCH(Renames, renames);
    QFETCH(bool, leavesUnread);
    Harness h(true);
    LegacyFolder().fill(h.work.path());
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    QCOMPARE(h.list().ListCount(), 5);
    setup(h);
    h.click("cmdSelect(0)");
    h.click(button);
    // The tool says which name it could not read, and left it as it was.
    QCOMPARE(h.takeMessages(),
             leavesUnread ? QStringLiteral(
                                "有 1 个文件没有改名：\n“bad\uFFFDname.TXT”：无法识别文件名的编码")
                          : QString());
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, renames));
}

namespace {

// The locale for the length of a test.
struct Locale {
    explicit Locale(const char* name) : m_old(qgetenv("LC_ALL")) { qputenv("LC_ALL", name); }
    ~Locale() { qputenv("LC_ALL", m_old); }
    QByteArray m_old;
};

// What the preview says of the entries shown so (two files may read alike).
QString resultOf(PreviewWindow& w, const QString& oldName) {
    QStringList results;
    for (int r = 0; r < w.model->rowCount(); ++r)
        if (w.model->index(r, 0).data().toString() == oldName)
            results << w.model->index(r, 2).data().toString();
    return results.isEmpty() ? QStringLiteral("no row for ") + oldName : results.join('|');
}

PreviewWindow* repairPreview(Harness& h) {
    h.form->File1Menu->mnuToUtf8->trigger();
    for (PreviewWindow* w : h.form->findChildren<PreviewWindow*>())
        if (w->isVisible() && &w->opener() == h.form->File1Menu->mnuToUtf8)
            return w;
    return nullptr;
}

bool isGrey(Harness& h, int row) {
    const QVariant fg = h.list().model()->index(row, 0).data(Qt::ForegroundRole);
    return fg.isValid() && fg.value<QBrush>().color() == legacyNameColour();
}

} // namespace

void LegacyNamesTest::eachCodePageIsReadShownAndRepaired_data() {
    QTest::addColumn<int>("codePage");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("locale");
    const std::pair<NameEncoding, const char*> pages[] = {
        {NameEncoding::Gbk, "zh_CN.UTF-8"},
        {NameEncoding::Big5, "zh_TW.UTF-8"},
        {NameEncoding::ShiftJis, "ja_JP.UTF-8"},
        {NameEncoding::EucKr, "ko_KR.UTF-8"},
        {NameEncoding::Windows1252, "de_DE.UTF-8"}};
    for (const auto& [e, locale] : pages)
        for (int n : {1, 3, 10})
            QTest::addRow("%s, %d", encodingLabel(e), n)
                << static_cast<int>(e) << n << QByteArray(locale);
}

// A folder of names in one code page beside a UTF-8 name and one no code page
// reads: the list shows each name as it was written, in grey with its code
// page, and the repair shows each before making it UTF-8.
void LegacyNamesTest::eachCodePageIsReadShownAndRepaired() {
    QFETCH(int, codePage);
    QFETCH(int, count);
    QFETCH(QByteArray, locale);
    const auto e = static_cast<NameEncoding>(codePage);
    const Locale inForce(locale.constData());
    std::mt19937 rng(static_cast<unsigned>(codePage * 100 + count));
    const auto samples = nw::test::sampleFolder(e, count, rng);
    Harness h;
    std::map<QString, std::string> written; // as shown -> the bytes
    for (const auto& s : samples) {
        file(h.work.path(), s.bytes, "content of " + s.bytes);
        written[toQt(s.text)] = s.bytes;
    }
    file(h.work.path(), "报告.txt", "utf-8");
    file(h.work.path(), "x\x81.dat", "unreadable");
    h.click("cmdSelect(3)");
    QCOMPARE(h.list().ListCount(), count + 2);
    QCOMPARE(h.list().codePage(), std::optional<NameEncoding>(e));
    // A single name may read about as well in another code page: then the
    // tools leave it as it is. Three names are always clear.
    const bool sure = h.list().codePageClear();
    QVERIFY(sure || count == 1);
    for (int i = 0; i < h.list().ListCount(); ++i) {
        const QString shown = h.names()[i];
        const bool legacy = written.count(shown) > 0;
        QVERIFY2(legacy || shown == QStringLiteral("报告.txt") ||
                     shown == QStringLiteral("x\uFFFD.dat"),
                 qPrintable(shown));
        QCOMPARE(h.list().Encoding(i) == e, legacy);
        QCOMPARE(isGrey(h, i), legacy);
        if (legacy) {
            const float y = float((i * h.list().sizeHintForRow(0) + 2) * 15);
            h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, y);
            QVERIFY(h.list().toolTip().contains(
                QStringLiteral("旧编码文件名（%1）").arg(QLatin1String(encodingLabel(e)))));
        }
    }

    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    PreviewWindow* w = repairPreview(h);
    QVERIFY(w);
    QCOMPARE(nw::test::snapshot(h.work.path()), before); // the preview renames nothing
    const QString converted =
        sure ? QStringLiteral("改名：由%1转为UTF-8").arg(QLatin1String(encodingLabel(e)))
             : QStringLiteral("不会处理：无法确定文件名的编码");
    std::map<std::string, std::string> renames;
    for (const auto& [shown, bytes] : written) {
        QCOMPARE(resultOf(*w, shown), converted);
        if (sure)
            renames[bytes] = shown.toStdString();
    }
    QCOMPARE(resultOf(*w, QStringLiteral("x\uFFFD.dat")),
             QStringLiteral("不会处理：无法识别文件名的编码"));
    QCOMPARE(resultOf(*w, QStringLiteral("报告.txt")), QStringLiteral("不变：无需改名"));
    // Nothing to rename: the button is off.
    QCOMPARE(w->cmdApply->isEnabled(), sure);
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    QVERIFY(!sure || h.takeMessages().contains(QStringLiteral("无法识别文件名的编码")));
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, renames));
    w->close();
}

// "文件名编码" in the list's menu: the user's code page holds for the folder,
// the selection stays on the same files, and "不解码" leaves every such name
// to no tool.
void LegacyNamesTest::theUserSaysWhichCodePage() {
    Harness h(true);
    std::mt19937 rng(3);
    const auto samples = nw::test::sampleFolder(NameEncoding::ShiftJis, 3, rng);
    for (const auto& s : samples)
        file(h.work.path(), s.bytes, s.bytes);
    h.click("cmdSelect(3)");
    FileListMenu& menu = *h.form->File1Menu;
    menu.update();
    QCOMPARE(menu.mnuCodePage->title(), QStringLiteral("文件名编码"));
    QCOMPARE(menu.mnuCodePageAuto->text(), QStringLiteral("自动判断（Shift-JIS）"));
    QVERIFY(menu.mnuCodePageAuto->isChecked());
    QCOMPARE(h.names().value(0), toQt(samples[0].text).isEmpty() ? QString() : h.names().value(0));
    h.select({toQt(samples[0].text), toQt(samples[2].text)});

    auto chosen = [&](NameEncoding e) {
        for (const auto& [action, page] : menu.mnuCodePages)
            if (page == e)
                return action;
        return static_cast<QAction*>(nullptr);
    };
    auto selectedBytes = [&] {
        std::set<std::string> out;
        for (int i = 0; i < h.list().ListCount(); ++i)
            if (h.list().Selected(i))
                out.insert(h.list().Bytes(i));
        return out;
    };
    const std::set<std::string> selected{samples[0].bytes, samples[2].bytes};
    QCOMPARE(selectedBytes(), selected);

    // Read as EUC-KR, what it reads of them; the same two files selected.
    chosen(NameEncoding::EucKr)->trigger();
    menu.update();
    QVERIFY(chosen(NameEncoding::EucKr)->isChecked());
    QCOMPARE(selectedBytes(), selected);
    for (int i = 0; i < h.list().ListCount(); ++i)
        QVERIFY(h.list().Encoding(i) == NameEncoding::EucKr || isUndecoded(h.list().List(i)));

    // Not decoded: no tool changes them; the choice outlives a visit elsewhere.
    menu.mnuCodePageNone->trigger();
    h.open(h.program.path());
    h.open(h.work.path());
    menu.update();
    QVERIFY(menu.mnuCodePageNone->isChecked());
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.click("Command1");
    QVERIFY(h.takeMessages().startsWith(QStringLiteral("有 3 个文件没有改名")));
    QCOMPARE(nw::test::snapshot(h.work.path()), before);

    menu.mnuCodePageAuto->trigger();
    QCOMPARE(h.list().codePage(), std::optional<NameEncoding>(NameEncoding::ShiftJis));
    QVERIFY(h.names().contains(toQt(samples[1].text)));
}

// Two bytes a character in GBK are three in UTF-8: a name that would pass 255
// bytes is shown with its length before the click, and left as it is.
void LegacyNamesTest::aRepairThatWouldBeTooLongIsShownAndLeft() {
    Harness h;
    const std::u32string longName = std::u32string(100, U'长') + U".txt";
    file(h.work.path(), gbk(longName), "long");
    file(h.work.path(), gbk(U"短.txt"), "short");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    PreviewWindow* w = repairPreview(h);
    QVERIFY(w);
    QCOMPARE(resultOf(*w, toQt(longName)),
             QStringLiteral("不会处理：转为UTF-8后为 304 字节，超过 255 字节的上限"));
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    QVERIFY(
        h.takeMessages().contains(QStringLiteral("转为UTF-8后为 304 字节，超过 255 字节的上限")));
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{gbk(U"短.txt"), utf8(U"短.txt")}}));
    w->close();

    // Any other name too long for the drive says its length as well.
    const Snapshot repaired = nw::test::snapshot(h.work.path());
    h.select({QStringLiteral("短.txt")});
    h.find<QLineEdit>("txtNewExt")->setText(QString(260, QLatin1Char('x')));
    h.click("cmdChangeExt");
    QVERIFY(h.takeMessages().contains(
        QStringLiteral("名称太长：新文件名为 264 字节，超过 255 字节的上限")));
    QCOMPARE(nw::test::snapshot(h.work.path()), repaired);
}

void LegacyNamesTest::turningNamesIntoUtf8AsksWhereTheNameIsTaken() {
    Harness h;
    const LegacyFolder f;
    f.fill(h.work.path());
    // Its UTF-8 name already taken: the box, and "停止改名" stops the pass
    // there.
    file(h.work.path(), utf8(U"會議說明.doc"), "the UTF-8 one");
    h.click("cmdSelect(3)");
    QMenu* menu = h.form->File1Menu->menu;
    emit h.list().customContextMenuRequested(QPoint(5, 5));
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QCOMPARE(h.form->File1Menu->mnuToUtf8->text(), QStringLiteral("文件名转为UTF-8"));
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    PreviewWindow* w = repairPreview(h);
    QVERIFY(w);
    const QString result = resultOf(*w, QStringLiteral("會議說明.doc"));
    QVERIFY2(result.contains(QStringLiteral("跳过：會議說明.doc文件已经存在！")),
             qPrintable(result));
    queueExistsAnswer(ExistsAnswer::Stop);
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("的新文件名“會議說明.doc”已经存在！")) &&
                 msg.contains(QStringLiteral("停止")),
             qPrintable(msg));
    // The names before it in the list were made UTF-8; nothing after it.
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{f.g3, utf8(U"中國 Ａb.TXT")}}));
    w->close();
}

void LegacyNamesTest::traditionalGbkBesideStrayBytesKeepsItsCharacters_data() {
    QTest::addColumn<QByteArray>("locale");
    QTest::addColumn<QString>("tool");
    for (const char* locale : {"C.UTF-8", "en_US.UTF-8", "zh_CN.UTF-8"})
        for (const char* tool : {"lower", "upper", "repair"})
            QTest::addRow("%s, %s", locale, tool) << QByteArray(locale) << QString(tool);
}

// GBK names in Traditional characters, whose second bytes are often ASCII
// letters (資 D9 59), beside two names of stray bytes that only Windows-1252
// reads: the folder is GBK, the case tools change the ASCII letters alone,
// and the repair writes the characters the names were given.
void LegacyNamesTest::traditionalGbkBesideStrayBytesKeepsItsCharacters() {
    QFETCH(QByteArray, locale);
    QFETCH(QString, tool);
    const Locale inForce(locale.constData());
    const std::vector<std::u32string> names{U"資料.txt",     U"中國.txt",         U"會議說明.DOC",
                                            U"電腦設計.Txt", U"Readme說明檔.TXT", U"測試夾.dat"};
    Harness h;
    for (const auto& n : names)
        file(h.work.path(), gbk(n), "content");
    file(h.work.path(), "\xFF\xFE.txt", "stray");
    file(h.work.path(), "\xFE\xFF\xFE.txt", "stray");
    h.click("cmdSelect(3)");
    QCOMPARE(h.list().codePage(), std::optional<NameEncoding>(NameEncoding::Gbk));
    QVERIFY(h.list().codePageClear());
    const Snapshot before = nw::test::snapshot(h.work.path());
    Renames renames;
    auto mapped = [](std::u32string n, bool upper) {
        for (char32_t& c : n)
            if (upper && c >= U'a' && c <= U'z')
                c -= 32;
            else if (!upper && c >= U'A' && c <= U'Z')
                c += 32;
        return n;
    };
    h.click("cmdSelect(0)");
    if (tool == QLatin1String("repair")) {
        PreviewWindow* w = repairPreview(h);
        QVERIFY(w);
        for (const auto& n : names)
            QCOMPARE(resultOf(*w, toQt(n)), QStringLiteral("改名：由GBK转为UTF-8"));
        QTest::mouseClick(w->cmdApply, Qt::LeftButton);
        w->close();
        for (const auto& n : names)
            renames[gbk(n)] = utf8(n);
    } else {
        const bool upper = tool == QLatin1String("upper");
        QTest::mouseClick(h.find<QRadioButton>(upper ? "Option1(0)" : "Option1(1)"),
                          Qt::LeftButton);
        h.click("Command1");
        for (const auto& n : names)
            if (mapped(n, upper) != n)
                renames[gbk(n)] = gbk(mapped(n, upper));
    }
    h.takeMessages();
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, renames));
}

// Thirty Western names (from tests/data/legacy_names.txt) under zh_TW, whose
// prior is Big5: Big5 reads most of them too, with their ASCII letters as
// second bytes, but Windows-1252 reads them all as Latin words.
void LegacyNamesTest::westernNamesUnderATaiwanLocaleAreAllRead() {
    const Locale inForce("zh_TW.UTF-8");
    std::ifstream in(NW_TEST_DATA "/legacy_names.txt");
    std::set<std::u32string> names;
    for (std::string line; std::getline(in, line) && names.size() < 30;)
        if (line.rfind("de\t", 0) == 0)
            names.insert(decodeName(line.substr(3)));
    QCOMPARE(names.size(), std::size_t{30});
    Harness h;
    for (const auto& n : names)
        file(h.work.path(),
             nw::test::encodeWithIcu(NameEncoding::Windows1252, n).value_or("not Latin"), "x");
    h.click("cmdSelect(3)");
    QCOMPARE(h.list().codePage(), std::optional<NameEncoding>(NameEncoding::Windows1252));
    QVERIFY(h.list().codePageClear());
    QCOMPARE(h.list().ListCount(), 30);
    for (int i = 0; i < h.list().ListCount(); ++i) {
        QVERIFY(names.count(h.list().List(i)) == 1);
        QVERIFY(!h.list().Unsure(i));
    }
}

// A path as a file manager writes it into an address: every byte that is
// not plain ASCII escaped.
QByteArray address(const std::string& path) {
    QByteArray a("file://");
    for (const char ch : path) {
        const auto c = static_cast<unsigned char>(ch);
        a += (c > 0x20 && c < 0x7F && c != '%' && c != '#' && c != '?')
                 ? QByteArray(1, char(c))
                 : QByteArray("%") + QByteArray::number(c, 16).rightJustified(2, '0').toUpper();
    }
    return a;
}

void LegacyNamesTest::legacyFoldersAreReachedHoweverGiven_data() {
    QTest::addColumn<std::string>("name");
    QTest::addColumn<QString>("how");
    const std::vector<std::pair<const char*, std::string>> folders{
        {"UTF-8", utf8(U"中国资料")},
        {"GBK", gbk(U"員工旅遊照片")},
        {"Big5", nw::test::encodeWithIcu(NameEncoding::Big5, U"新增資料夾").value_or("")},
        {"undecodable", "bad\xFF\xFE folder"}};
    for (const auto& [kind, name] : folders)
        for (const char* how : {"Enter", "typed file://", "drop", "command line"})
            QTest::newRow((std::string(kind) + " by " + how).c_str()) << name << QString(how);
}

// However the user gives a folder (typed in the path box as it shows it, an
// address, a drop, an argument), whatever its code page, it is the folder
// gone to, never a twin beside it with the same characters in UTF-8.
void LegacyNamesTest::legacyFoldersAreReachedHoweverGiven() {
    QFETCH(std::string, name);
    QFETCH(QString, how);
    Harness h;
    const std::string folder = h.work.path() + "/" + name;
    QVERIFY(::mkdir(folder.c_str(), 0755) == 0);
    file(folder, "inside.txt");
    h.open(h.work.path());
    auto* box = h.find<QLineEdit>("txtPath");
    auto reached = [&](const char* step) {
        const QString what = how + ": " + step;
        QVERIFY2(h.list().Path() == folder, qPrintable(what));
        QVERIFY2(h.names().contains("inside.txt"), qPrintable(what));
        QVERIFY2(h.takeMessages().isEmpty(), qPrintable(what));
    };
    if (how == "Enter") {
        // The folder's name typed after the shown folder, as the program
        // shows it; then Enter on what the box shows, though a folder of the
        // same characters in UTF-8 now stands beside it; then a file in it.
        box->setText(box->text() + "/" + bytesToQt(name));
        QTest::keyClick(box, Qt::Key_Return);
        reached("typed as shown");
        const std::string twin = h.work.path() + "/" + utf8(toU32(bytesToQt(name)));
        if (twin != folder) {
            QVERIFY(::mkdir(twin.c_str(), 0755) == 0);
            file(twin, "twin.txt");
        }
        QTest::keyClick(box, Qt::Key_Return);
        reached("Enter on the box as it shows the folder");
        box->setText(box->text() + "/inside.txt");
        QTest::keyClick(box, Qt::Key_Return);
        reached("a file in it typed after it");
        QStringList selected;
        for (int i = 0; i < h.list().ListCount(); ++i)
            if (h.list().Selected(i))
                selected << h.names().at(i);
        QCOMPARE(selected, QStringList({"inside.txt"}));
    } else if (how == "typed file://") {
        box->setText(QString::fromLatin1(address(folder + "/inside.txt")));
        QTest::keyClick(box, Qt::Key_Return);
        reached("the address of a file in it");
    } else if (how == "drop") {
        // The drag's data as a file manager gives it: a text/uri-list.
        QMimeData data;
        data.setData("text/uri-list", address(folder + "/inside.txt") + "\r\n");
        const QPoint at = box->mapTo(h.form.get(), box->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.form.get(), &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(h.form.get(), &drop);
        reached("a file in it dropped");
    } else {
        for (const std::string& arg : {folder, std::string(address(folder).constData())}) {
            std::FILE* sink = std::tmpfile();
            const StartRequest start = readCommandLine({arg}, "/", sink, sink);
            std::fclose(sink);
            QVERIFY(start.run);
            Form1 started(h.fs, h.program.path(), start.path);
            started.show();
            QCOMPARE(started.File1->Path(), folder);
            QCOMPARE(h.takeMessages(), QString());
        }
    }
    QVERIFY(Snapshot(nw::test::snapshot(folder)).count("inside.txt"));
}

NW_APP_TEST(LegacyNamesTest)

} // namespace nw::app::test

#include "legacy_names_test.moc"
