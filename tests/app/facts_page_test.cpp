// Page "文件信息" through the real window: photos named by the date taken,
// songs by their tags (legacy ones read in the folder's code page), with the
// example, the preview, the pass, the reasons for files left, and undo.
#include "app_test_support.h"

#include "app/facts_page.h"
#include "app/file_list_menu.h"
#include "app/preview_window.h"
#include "tests/support/media_files.h"
#include "tests/support/sample_names.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <sys/time.h>

#include <ctime>

namespace nw::app::test {

class FactsPageTest : public QObject {
    Q_OBJECT
private slots:
    void photosByDateTaken();
    void songsByTagsAndNumber();
};

namespace {

FactsPage& factsPage(Harness& h) {
    h.form->SSTab1->setCurrentIndex(4);
    return *h.find<FactsPage>("page4");
}

// The preview's rows as "old -> new: result".
QStringList previewRows(Harness& h) {
    PreviewWindow* w =
        h.form->openPreview(factsPage(h), *h.find<QPushButton>(QStringLiteral("cmdFacts")));
    QStringList rows;
    for (int r = 0; r < w->model->rowCount(); ++r)
        rows << w->model->index(r, 0).data().toString() + " -> " +
                    w->model->index(r, 1).data().toString() + ": " +
                    w->model->index(r, 2).data().toString();
    w->close();
    return rows;
}

void setTime(const std::string& path, long seconds) {
    const timeval t[2] = {{seconds, 0}, {seconds, 0}};
    ::utimes(path.c_str(), t);
}

} // namespace

void FactsPageTest::photosByDateTaken() {
    Harness h;
    const std::string d = h.work.path();
    nw::test::makeJpeg(d + "/IMG_20240501_123456.jpg",
                       {{"Exif.Photo.DateTimeOriginal", "2024:05:01 12:34:56"}});
    nw::test::makeJpeg(d + "/DSC_0001.JPG", {{"Exif.Photo.DateTimeOriginal", "2024:05:02 08:00:00"},
                                             {"Exif.Image.Make", "NIKON CORPORATION"},
                                             {"Exif.Image.Model", "NIKON Z 6"}});
    nw::test::makeJpeg(d + "/mmexport1714538096.jpg");
    setTime(d + "/mmexport1714538096.jpg", 1714538096); // 2024-05-01 04:34:56 UTC
    file(d, "broken.jpg", "not a photo");
    file(d, "notes.txt", "notes");
    qputenv("TZ", "UTC");
    ::tzset();
    h.click("cmdSelect(3)");
    const Snapshot start = nw::test::snapshot(d);
    FactsPage& page = factsPage(h);
    // Opens empty, and says what it needs.
    auto* templ = h.find<QLineEdit>("txtTemplate");
    QVERIFY(templ->text().isEmpty() && !h.find<QCheckBox>("chkTakenFromModified")->isChecked());
    QCOMPARE(h.find<QLabel>("lblFactsTarget")->text(),
             QStringLiteral("请输入模板，例如 {拍摄日期:yyyy-MM-dd HHmmss}"));
    // The example is the first selected file's, read from it.
    h.select({"DSC_0001.JPG"});
    templ->setText(QStringLiteral("{拍摄日期:yyyy-MM-dd HHmmss} {相机}"));
    QTRY_VERIFY(page.exampleSettled());
    QCOMPARE(h.find<QLabel>("lblFactsTarget")->text(),
             QStringLiteral("2024-05-02 080000 NIKON CORPORATION NIKON Z 6.JPG"));
    h.select({"DSC_0001.JPG", "IMG_20240501_123456.jpg", "broken.jpg", "mmexport1714538096.jpg"});
    QTRY_VERIFY(page.exampleSettled());
    QCOMPARE(h.find<QLabel>("lblFactsTarget")->text(),
             QStringLiteral("不会处理：无法读取文件信息（文件已损坏或格式不明）"));

    templ->setText(QStringLiteral("{拍摄日期:yyyy-MM-dd HHmmss}"));
    QCOMPARE(previewRows(h),
             QStringList({"broken.jpg -> : 不会处理：无法读取文件信息（文件已损坏或格式不明）",
                          "DSC_0001.JPG -> 2024-05-02 080000.JPG: 改名",
                          "IMG_20240501_123456.jpg -> 2024-05-01 123456.jpg: 改名",
                          "mmexport1714538096.jpg -> : 不会处理：没有拍摄日期"}));
    QCOMPARE(nw::test::snapshot(d), start);
    h.click("cmdFacts");
    const QString told = h.takeMessages();
    QVERIFY2(told.contains(QStringLiteral("有 2 个文件没有改名")) &&
                 told.contains(QStringLiteral("“mmexport1714538096.jpg”：没有拍摄日期")),
             qPrintable(told));
    const Snapshot first =
        nw::test::renamed(start, {{"DSC_0001.JPG", "2024-05-02 080000.JPG"},
                                  {"IMG_20240501_123456.jpg", "2024-05-01 123456.jpg"}});
    QCOMPARE(nw::test::snapshot(d), first);

    // The phone's export has only its file date: asked for, it stands in.
    QTest::mouseClick(h.find<QCheckBox>("chkTakenFromModified"), Qt::LeftButton);
    h.select({"mmexport1714538096.jpg"});
    h.click("cmdFacts");
    QCOMPARE(h.takeMessages(), QString());
    QCOMPARE(nw::test::snapshot(d),
             nw::test::renamed(first, {{"mmexport1714538096.jpg", "2024-05-01 043456.jpg"}}));

    // Undone pass by pass.
    FileListMenu& menu = *h.form->File1Menu;
    for (int i = 0; i < 2; ++i) {
        menu.update();
        menu.mnuUndo->trigger();
    }
    QCOMPARE(nw::test::snapshot(d), start);
    qunsetenv("TZ");
    ::tzset();
}

void FactsPageTest::songsByTagsAndNumber() {
    Harness h;
    const std::string d = h.work.path();
    auto gbk = [](const std::u32string& s) {
        return nw::test::encodeWithIcu(NameEncoding::Gbk, s).value_or("?");
    };
    // Three songs of the 2000s, their frames labelled Latin-1 but in GBK.
    const std::vector<std::pair<const char*, std::u32string>> old{
        {"track01.mp3", U"红豆"}, {"track02.mp3", U"因为爱情"}, {"track03.mp3", U"容易受伤的女人"}};
    for (const auto& [name, title] : old) {
        nw::test::Mp3Tags tags;
        tags.latin1Frames = {{"TPE1", gbk(U"王菲")}, {"TIT2", gbk(title)}};
        nw::test::makeMp3(d + "/" + name, tags);
    }
    nw::test::makeFlac(d + "/x.flac", {{"ARTIST", "AC/DC"}, {"TITLE", "Back in Black"}});
    h.click("cmdSelect(3)");
    const Snapshot start = nw::test::snapshot(d);
    h.click("cmdSelect(0)");
    // {序号} numbers with 批量改名's boxes.
    h.form->SSTab1->setCurrentIndex(1);
    h.find<QLineEdit>("txtWidth")->setText(QStringLiteral("2"));
    factsPage(h);
    h.find<QLineEdit>("txtTemplate")->setText(QStringLiteral("{序号} {歌手} - {标题}"));
    QCOMPARE(previewRows(h),
             QStringList({"track01.mp3 -> 01 王菲 - 红豆.mp3: 改名（标签按GBK读取）",
                          "track02.mp3 -> 02 王菲 - 因为爱情.mp3: 改名（标签按GBK读取）",
                          "track03.mp3 -> 03 王菲 - 容易受伤的女人.mp3: 改名（标签按GBK读取）",
                          "x.flac -> 04 AC_DC - Back in Black.flac: 改名"}));
    h.click("cmdFacts");
    QCOMPARE(h.takeMessages(), QString());
    QCOMPARE(nw::test::snapshot(d),
             nw::test::renamed(start, {{"track01.mp3", "01 王菲 - 红豆.mp3"},
                                       {"track02.mp3", "02 王菲 - 因为爱情.mp3"},
                                       {"track03.mp3", "03 王菲 - 容易受伤的女人.mp3"},
                                       {"x.flac", "04 AC_DC - Back in Black.flac"}}));
    // A template that cannot be used renames nothing and says why.
    h.click("cmdSelect(0)");
    h.find<QLineEdit>("txtTemplate")->setText(QStringLiteral("{日期}"));
    const Snapshot after = nw::test::snapshot(d);
    h.click("cmdFacts");
    QCOMPARE(h.takeMessages(), QStringLiteral("模板中没有“{日期}”这个字段"));
    QCOMPARE(nw::test::snapshot(d), after);
}

NW_APP_TEST(FactsPageTest)

} // namespace nw::app::test

#include "facts_page_test.moc"
