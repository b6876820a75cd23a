// "繁体转简体" and "简体转繁体" with each standard of "转换标准", through the
// real pass, against Debian's opencc command run on the same names with the
// same configuration files.
#include "app_test_support.h"

#include "app/file_list_menu.h"
#include "app/preview_window.h"
#include "app/qt_text.h"
#include "core/conv_table.h"
#include "platform/name_codec.h"
#include "platform/phrase_converter.h"
#include "tests/support/sample_names.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

#include <cstdlib>
#include <fstream>
#include <map>

namespace nw::app::test {
namespace {

// The names of one group of tests/data/chinese_names.txt.
std::vector<std::u32string> namesOf(const std::string& group) {
    std::ifstream in(NW_TEST_DATA "/chinese_names.txt");
    std::vector<std::u32string> out;
    std::string current;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[')
            current = line.substr(1, line.size() - 2);
        else if (current == group)
            out.push_back(decodeName(line));
    }
    return out;
}

// opencc with the configuration file the program uses, one name per line.
std::vector<std::u32string> opencc(const std::string& config,
                                   const std::vector<std::u32string>& names) {
    TempFolder dir;
    std::string lines;
    for (const auto& n : names)
        lines += encodeName(n) + "\n";
    nw::test::writeFile(dir.path(), "in", lines);
    const std::string cmd = "opencc -c " + openccDataFolder() + "/" + config + " -i " + dir.path() +
                            "/in -o " + dir.path() + "/out";
    std::vector<std::u32string> out;
    if (std::system(cmd.c_str()) != 0)
        return out;
    std::ifstream in(dir.path() + "/out");
    for (std::string line; std::getline(in, line);)
        out.push_back(decodeName(line));
    return out;
}

// Every fourth name is written in GBK where GBK holds it: a converted name
// keeps GBK where GBK can write it (萤幕录影 cannot: its GBK bytes are valid
// UTF-8), else it becomes UTF-8.
std::string bytesOf(const std::u32string& name, std::size_t i, const std::u32string& newName) {
    if (i % 4 == 1)
        if (auto gbk = nw::test::encodeWithIcu(NameEncoding::Gbk, name); gbk && !isUtf8(*gbk)) {
            // GBK bytes that read as UTF-8 would not come back as the name.
            if (auto again = nw::test::encodeWithIcu(NameEncoding::Gbk, newName);
                again && !isUtf8(*again))
                return *again;
            return encodeName(newName);
        }
    return encodeName(newName);
}

struct Case {
    int standard;       // index in cboStandard
    bool toSimplified;  // cmdF2J, else cmdJ2F
    std::string config; // the configuration the button uses
    std::string plain;  // the script-only one of that direction
};

const std::vector<Case> kCases = {
    {0, false, "s2tw.json", "s2t.json"},  {0, true, "tw2s.json", "t2s.json"},
    {1, false, "s2hk.json", "s2t.json"},  {1, true, "hk2s.json", "t2s.json"},
    {2, false, "s2t.json", "s2t.json"},   {2, true, "t2s.json", "t2s.json"},
    {3, false, "s2twp.json", "s2t.json"}, {3, true, "tw2sp.json", "t2s.json"},
};

void choose(Harness& h, int standard) {
    auto* box = h.find<QComboBox>("cboStandard");
    box->setCurrentIndex(standard);
    emit box->activated(standard);
}

// A folder of names, every one selected, the button clicked; the folder after.
Snapshot convert(Harness& h, const std::vector<std::u32string>& names, bool toSimplified,
                 Snapshot* before = nullptr) {
    for (std::size_t i = 0; i < names.size(); ++i)
        file(h.work.path(), bytesOf(names[i], i, names[i]), std::to_string(i));
    h.form->File1->chooseCodePage(NameEncoding::Gbk);
    h.click("cmdSelect(3)");
    if (before)
        *before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.click(toSimplified ? "cmdF2J" : "cmdJ2F");
    return nw::test::snapshot(h.work.path());
}

} // namespace

class PhraseConversionTest : public QObject {
    Q_OBJECT
private slots:
    void standardsGiveOpenccsAnswers_data();
    void standardsGiveOpenccsAnswers();
    void namesInTheTargetScriptStay_data();
    void namesInTheTargetScriptStay();
    void mixedAndSharedWordsConvertWordByWord();
    void tableModeIsTheTable();
    void thePreviewFollowsTheStandard();
    void missingData();
};

void PhraseConversionTest::standardsGiveOpenccsAnswers_data() {
    QTest::addColumn<int>("which");
    for (std::size_t i = 0; i < kCases.size(); ++i)
        QTest::newRow(kCases[i].config.c_str()) << int(i);
}

// Each converted name is opencc's answer, in the old name's code page where
// that can write it; a name is left only where the plain script conversion
// leaves it too (a regional word alone, such as 配置文件 -> 配置檔案, is not a
// change of script); no name without Chinese changes; nothing is lost.
void PhraseConversionTest::standardsGiveOpenccsAnswers() {
    QFETCH(int, which);
    const Case& c = kCases[std::size_t(which)];
    Harness h;
    choose(h, c.standard);
    std::vector<std::u32string> names = namesOf(c.toSimplified ? "traditional" : "simplified");
    const std::size_t chinese = names.size();
    QVERIFY(chinese >= 140);
    for (const auto& n : namesOf("other"))
        names.push_back(n);
    const auto expected = opencc(c.config, names), plain = opencc(c.plain, names);
    QCOMPARE(expected.size(), names.size());
    Snapshot before;
    const Snapshot after = convert(h, names, c.toSimplified, &before);
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));

    std::map<std::string, std::string> renames;
    std::size_t left = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string old = bytesOf(names[i], i, names[i]);
        const std::string answer = bytesOf(names[i], i, expected[i]);
        if (after.count(answer) && answer != old) {
            renames[old] = answer;
            continue;
        }
        QVERIFY2(after.count(old), qPrintable(QStringLiteral("%1 -> neither %2 nor itself")
                                                  .arg(toQt(names[i]), toQt(expected[i]))));
        if (expected[i] != names[i]) {
            QVERIFY2(i < chinese && plain[i] == names[i], qPrintable(toQt(names[i])));
            ++left;
        }
    }
    QCOMPARE(after, nw::test::renamed(before, renames));
    QVERIFY(renames.size() >= chinese * 3 / 4);
    QVERIFY(left <= 3);

    // One undo puts every name back.
    h.form->File1Menu->mnuUndo->trigger();
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
}

void PhraseConversionTest::namesInTheTargetScriptStay_data() { standardsGiveOpenccsAnswers_data(); }

// The other group's names are already in the button's script: they stay,
// but for a word of shared characters that the plain conversion changes
// (旅遊攻略-台南: 臺南), and under "台湾正体及用词", which gives Taiwan's
// words to Traditional names too. Each renamed name is opencc's answer.
void PhraseConversionTest::namesInTheTargetScriptStay() {
    QFETCH(int, which);
    const Case& c = kCases[std::size_t(which)];
    Harness h;
    choose(h, c.standard);
    Snapshot before;
    const auto names = namesOf(c.toSimplified ? "simplified" : "traditional");
    const auto expected = opencc(c.config, names);
    QCOMPARE(expected.size(), names.size());
    const Snapshot after = convert(h, names, c.toSimplified, &before);
    QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
    std::map<std::string, std::string> renames;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string old = bytesOf(names[i], i, names[i]);
        if (!after.count(old))
            renames[old] = bytesOf(names[i], i, expected[i]);
    }
    QCOMPARE(after, nw::test::renamed(before, renames));
    QVERIFY2(renames.size() <= (c.config == "s2twp.json" ? 12u : 1u),
             qPrintable(QString::number(renames.size())));
}

// Names that mix both scripts convert word by word; under "台湾正体及用词"
// words of shared characters and Traditional words get Taiwan's vocabulary,
// but a word that has it already is not given it twice (opencc makes 演算法
// 演演算法). Every change is what the opencc command makes of the name.
void PhraseConversionTest::mixedAndSharedWordsConvertWordByWord() {
    struct Row {
        int standard;
        const char* config;
        std::u32string name, expected;
    };
    const Row rows[] = {
        {3, "s2twp.json", U"几率 機率 機會率 概率.txt", U"機率 機率 機會率 機率.txt"},
        {3, "s2twp.json", U"算法.txt", U"演算法.txt"},
        {3, "s2twp.json", U"數據庫 設計.doc", U"資料庫 設計.doc"},
        {3, "s2twp.json", U"字幕文件_简体.srt", U"字幕檔案_簡體.srt"},
        {3, "s2twp.json", U"演算法.txt", U"演算法.txt"},
        {0, "s2tw.json", U"几率 機率 機會率 概率.txt", U"幾率 機率 機會率 概率.txt"},
        {0, "s2tw.json", U"算法.txt", U"算法.txt"},
        {0, "s2tw.json", U"數據庫 設計.doc", U"數據庫 設計.doc"},
    };
    for (const Row& r : rows) {
        Harness h;
        choose(h, r.standard);
        file(h.work.path(), encodeName(r.name), "x");
        h.click("cmdSelect(3)");
        h.click("cmdSelect(0)");
        h.click("cmdJ2F");
        QVERIFY2(h.messages.isEmpty(), qPrintable(h.takeMessages()));
        QCOMPARE(h.names(), QStringList{toQt(r.expected)});
        if (r.expected != r.name) {
            QCOMPARE(toQt(opencc(r.config, {r.name}).at(0)), toQt(r.expected));
        }
    }
}

// "逐字转换（F2J.txt）" still gives the table's own answers, character by
// character.
void PhraseConversionTest::tableModeIsTheTable() {
    for (bool toSimplified : {false, true}) {
        Harness h(true);
        choose(h, 4);
        std::vector<std::u32string> names = namesOf(toSimplified ? "traditional" : "simplified");
        for (const auto& n : namesOf("other"))
            names.push_back(n);
        Snapshot before;
        const Snapshot after = convert(h, names, toSimplified, &before);
        std::map<std::string, std::string> renames;
        for (std::size_t i = 0; i < names.size(); ++i) {
            const std::u32string answer = toSimplified ? StrF2J(h.form->table(), names[i])
                                                       : StrJ2F(h.form->table(), names[i]);
            if (answer != names[i])
                renames[bytesOf(names[i], i, names[i])] = bytesOf(names[i], i, answer);
        }
        QVERIFY(renames.size() > names.size() / 2);
        QCOMPARE(after, nw::test::renamed(before, renames));
    }
}

// The preview shows the chosen standard's names, follows a change of standard,
// and its "按此改名" renames by what it shows.
void PhraseConversionTest::thePreviewFollowsTheStandard() {
    Harness h;
    file(h.work.path(), "软件安装.txt", "setup");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    PreviewWindow* w =
        h.form->openPreview(*h.find<ToolPage>("page2"), *h.find<QPushButton>("cmdJ2F"));
    QCOMPARE(w->model->index(0, 1).data().toString(), QStringLiteral("軟件安裝.txt"));
    choose(h, 3);
    QTRY_COMPARE(w->model->index(0, 1).data().toString(), QStringLiteral("軟體安裝.txt"));
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"软件安装.txt", "軟體安裝.txt"}}));
}

// Without OpenCC's data, choosing a standard says which file is missing and
// what to do; the buttons refuse and rename nothing; the table still works.
void PhraseConversionTest::missingData() {
    Harness h(true);
    TempFolder empty;
    h.form->phraseConverters().setFolder(empty.path());
    file(h.work.path(), "签证申请表.pdf");
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    choose(h, 1);
    QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QString::fromStdString(empty.path())) &&
                 msg.contains(QStringLiteral("libopencc-data")),
             qPrintable(msg));
    h.click("cmdSelect(0)");
    h.click("cmdJ2F");
    msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("没有文件被改名")), qPrintable(msg));
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    choose(h, 4);
    QVERIFY(h.messages.isEmpty());
    h.click("cmdSelect(0)");
    h.click("cmdJ2F");
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"签证申请表.pdf",
                                         encodeName(StrJ2F(h.form->table(), U"签证申请表.pdf"))}}));
}

NW_APP_TEST(PhraseConversionTest)

} // namespace nw::app::test

#include "phrase_conversion_test.moc"
