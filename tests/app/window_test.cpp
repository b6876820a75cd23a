#include "app_test_support.h"

#include "app/batch_page.h"
#include "app/conversion_page.h"
#include "app/folder_tree.h"
#include "app/other_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

namespace nw::app::test {

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnThePageZeroAndTheProgramFolder();
    void layoutInTwips_data();
    void layoutInTwips();
    void captionsAndInitialStates();
    void everyCaptionFits();
    void focusOrder();
    void comesUpWithoutTheTable();
};

void WindowTest::startsOnThePageZeroAndTheProgramFolder() {
    TempFolder program;
    file(program.path(), "tool.bin");
    file(program.path(), ".hidden");
    TestFileSystem fs;
    Form1 form(fs, program.path());
    QCOMPARE(form.SSTab1->currentIndex(), 0);
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("所有文件(*.*)"));
    QCOMPARE(form.Combo1->currentIndex(), 0);
    QCOMPARE(form.Dir1->Path(), program.path());
    QCOMPARE(form.File1->Path(), program.path());
    QCOMPARE(form.txtPath->text(), QString::fromStdString(program.path()));
    // Listed before the table was looked for: the empty F2J.txt left for the
    // user shows up at the next re-read.
    QCOMPARE(form.File1->ListCount(), 1);
    QCOMPARE(form.File1->List(0), U"tool.bin");
    form.File1->Refresh();
    QCOMPARE(form.File1->ListCount(), 2);
    QCOMPARE(form.windowTitle(), QStringLiteral("Namewright"));
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.size(), QSize(718, 404));
    QCOMPARE(form.minimumSize(), form.maximumSize());
}

void WindowTest::layoutInTwips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<bool>("onPage"); // counted from SSTab1's corner
    auto row = [](const char* n, int l, int t, int w, int h, bool page = false) {
        QTest::newRow(n) << QString::fromUtf8(n) << QRect(l, t, w, h) << page;
    };
    row("Drive1", 120, 120, 2415, 300);
    row("Combo1", 120, 720, 2415, 300);
    row("Dir1", 120, 1080, 2415, 4080);
    row("Frame1", 2640, 0, 3015, 495);
    row("File1", 2640, 600, 3015, 4050);
    row("cmdSelect(0)", 2640, 4800, 615, 375);
    row("cmdSelect(1)", 3360, 4800, 735, 375);
    row("cmdSelect(2)", 4200, 4800, 615, 375);
    row("cmdSelect(3)", 4920, 4800, 615, 375);
    row("SSTab1", 5715, 120, 4935, 4575);
    row("Frame12", 120, 5280, 10575, 735);
    row("Frame2", 240, 575, 1095, 1335, true);
    row("Frame3", 1440, 575, 1455, 1335, true);
    row("Frame4", 3000, 575, 1215, 1335, true);
    row("Frame5", 240, 2015, 3975, 975, true);
    row("Command1", 240, 3960, 4335, 495, true);
    row("Frame6", 240, 575, 4335, 735, true);
    row("Frame7", 240, 1410, 4335, 1080, true);
    row("Frame8", 240, 2610, 4335, 1215, true);
    row("Command2", 240, 3960, 4335, 495, true);
    row("Frame9", 120, 480, 3855, 1095, true);
    row("Frame10", 120, 1680, 3855, 975, true);
    row("Frame11", 120, 2880, 3855, 1215, true);
    row("cmdExit", 960, 3120, 3135, 855, true);
}

void WindowTest::layoutInTwips() {
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(bool, onPage);
    Harness h;
    auto* w = h.find<QWidget>(name);
    QWidget* frame = onPage ? static_cast<QWidget*>(h.form->SSTab1) : h.form.get();
    const QPoint topLeft = w->mapTo(frame, QPoint(0, 0));
    const QRect expected((twips.x() + 7) / 15, (twips.y() + 7) / 15, (twips.width() + 7) / 15,
                         (twips.height() + 7) / 15);
    QCOMPARE(QRect(topLeft, w->size()), expected);
}

void WindowTest::captionsAndInitialStates() {
    Harness h;
    QStringList items;
    for (int i = 0; i < h.form->Combo1->count(); ++i)
        items << h.form->Combo1->itemText(i);
    QCOMPARE(items,
             QStringList({"所有文件(*.*)", "文本文件(*.txt)", "静态网页(*.htm;*.html)",
                          "ASP文件(*.asp)", "PHP文件(*.php;*.php3;*.php4)",
                          "其它网页文档(*.shtml;*.phtml)", "EXE文件(*.exe)", "COM文件(*.com)",
                          "JPG图片(*.jpg)", "GIF图片(*.gif)", "图片(*.bmp;*.gif;*.jpg)"}));
    QStringList tabs;
    for (int i = 0; i < 4; ++i)
        tabs << h.form->SSTab1->tabText(i);
    QCOMPARE(tabs, QStringList({"文件名转换", "批量改名", "其它", "关于"}));
    const std::vector<std::pair<const char*, const char*>> captions{
        {"Label1", "文件扩展名过滤："},
        {"Check1(0)", "常规"},
        {"Check1(1)", "只读"},
        {"Check1(2)", "隐藏"},
        {"Check1(3)", "系统"},
        {"cmdSelect(0)", "全选"},
        {"cmdSelect(1)", "全不选"},
        {"cmdSelect(2)", "反选"},
        {"cmdSelect(3)", "刷新"},
        {"cmdGoPath", "转到"},
        {"Check2(0)", "前缀"},
        {"Check2(1)", "后缀"},
        {"Option1(0)", "大写"},
        {"Option1(1)", "小写"},
        {"Option1(2)", "首字母大写"},
        {"Option2(0)", "删除"},
        {"Option2(1)", "转换为_"},
        {"Label2(0)", "原文件名为："},
        {"lblS1", "Exa mpL e.exE"},
        {"Label2(1)", "转换后成为："},
        {"lblT1", "Example.exe"},
        {"Command1", "改名"},
        {"Label3(0)", "增量："},
        {"Option3(0)", "替换前缀"},
        {"Option3(1)", "替换后缀"},
        {"Option3(2)", "在前缀的前面"},
        {"Option3(3)", "在前缀的后面"},
        {"Option3(4)", "在后缀的前面"},
        {"Option3(5)", "在后缀的后面"},
        {"Label4(0)", "原文件名为："},
        {"Label4(1)", ""},
        {"lblSource(0)", "example.gif"},
        {"lblSource(1)", "model.gif"},
        {"Label4(4)", "转换后成为："},
        {"lblTarget(0)", "1.gif"},
        {"lblTarget(1)", "2.gif"},
        {"Command2", "改名"},
        {"Label8", "需要去掉的字符串："},
        {"cmdRemoveStr", "改名"},
        {"Label7", "新扩展名:"},
        {"cmdChangeExt", "改名"},
        {"cmdF2J", "繁体转简体"},
        {"cmdJ2F", "简体转繁体"},
        {"Label9", "示例说明:\r\n繁转简:中國->中国\r\n简转繁:中国->中國"},
        {"cmdExit", "退出"},
    };
    for (const auto& [name, caption] : captions) {
        QWidget* w = h.find<QWidget>(QString::fromUtf8(name));
        const QString text = qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                                      : qobject_cast<QAbstractButton*>(w)->text();
        QCOMPARE(text, QString::fromUtf8(caption));
    }
    const std::vector<std::pair<const char*, const char*>> frames{
        {"Frame1", "文件属性"},
        {"Frame2", "转换范围"},
        {"Frame3", "转换成"},
        {"Frame4", "空格处理"},
        {"Frame5", "示例"},
        {"Frame6", "自定义文本"},
        {"Frame7", "自定义文本位置"},
        {"Frame8", "示例"},
        {"Frame9", "去掉文件名的部分字符"},
        {"Frame10", "修改文件扩展名"},
        {"Frame11", "文件名简繁互转"},
        {"Frame12", "快速转到要修改文件名的路径"}};
    for (const auto& [name, title] : frames)
        QCOMPARE(h.find<QGroupBox>(QString::fromUtf8(name))->title(), QString::fromUtf8(title));
    QVERIFY(h.find<QLabel>("Label5")->text().startsWith(QStringLiteral("网址：")));
    QCOMPARE(h.find<QLineEdit>("txtNewExt")->toolTip(),
             QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
    QCOMPARE(h.find<QLineEdit>("txtStep")->text(), QStringLiteral("1"));
    QVERIFY(h.find<QLineEdit>("Text1")->text().isEmpty());
    for (const char* red : {"lblT1", "lblTarget(0)", "lblTarget(1)"})
        QCOMPARE(h.find<QLabel>(red)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QVERIFY(h.find<QLabel>("lblS1")->palette().color(QPalette::WindowText) != QColor(255, 0, 0));
    const std::vector<std::pair<const char*, bool>> ticks{
        {"Check1(0)", true},  {"Check1(1)", true},   {"Check1(2)", false}, {"Check1(3)", false},
        {"Check2(0)", true},  {"Check2(1)", true},   {"Option1(2)", true}, {"Option1(0)", false},
        {"Option2(0)", true}, {"Option2(1)", false}, {"Option3(0)", true}, {"Option3(5)", false}};
    for (const auto& [name, on] : ticks)
        QCOMPARE(h.find<QAbstractButton>(QString::fromUtf8(name))->isChecked(), on);
}

void WindowTest::everyCaptionFits() {
    Harness h;
    for (int page = 0; page < 4; ++page) {
        h.form->SSTab1->setCurrentIndex(page);
        for (QWidget* w : h.form->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
                const QSize need = l->sizeHint();
                QVERIFY2(need.width() <= l->width() && need.height() <= l->height(),
                         qPrintable(l->objectName() + " is clipped"));
            } else if (auto* b = qobject_cast<QAbstractButton*>(w);
                       b && !qobject_cast<QLabel*>(w)) {
                if (qobject_cast<QPushButton*>(b)) {
                    const int text = b->fontMetrics().horizontalAdvance(b->text());
                    QVERIFY2(text + 8 <= b->width(), qPrintable(b->objectName() + " is clipped"));
                } else {
                    QVERIFY2(b->sizeHint().width() <= b->width(),
                             qPrintable(QStringLiteral("%1 is clipped: %2 > %3")
                                            .arg(b->objectName())
                                            .arg(b->sizeHint().width())
                                            .arg(b->width())));
                }
                QVERIFY2(b->fontMetrics().height() <= b->height(),
                         qPrintable(b->objectName() + " is too low"));
            }
        }
    }
}

void WindowTest::focusOrder() {
    Harness h;
    // Each page's own controls in turn; Tab skips the pages not shown.
    const QStringList order{
        "Drive1",     "Dir1",         "Check1(1)",    "File1",        "Check1(2)",
        "Check1(3)",  "cmdSelect(0)", "cmdSelect(1)", "cmdSelect(2)", "cmdSelect(3)",
        "Combo1",     "Check1(0)",    "Check2(0)",    "Check2(1)",    "Option1(0)",
        "Option1(1)", "Option1(2)",   "Option2(0)",   "Option2(1)",   "Command1",
        "Text1",      "txtStep",      "Option3(0)",   "Option3(1)",   "Option3(2)",
        "Option3(3)", "Option3(4)",   "Option3(5)",   "Command2",     "txtRemoveStr",
        "txtNewExt",  "cmdF2J",       "cmdJ2F",       "cmdChangeExt", "cmdRemoveStr",
        "txtPath",    "cmdGoPath",    "cmdExit"};
    QWidget* w = h.find<QWidget>(order[0]);
    for (int i = 1; i < order.size(); ++i) {
        QWidget* next = w->nextInFocusChain();
        // Skip what takes no focus in between (frames, labels, inner parts).
        QWidget* target = h.find<QWidget>(order[i]);
        int guard = 0;
        while (next != target && ++guard < 50)
            next = next->nextInFocusChain();
        QVERIFY2(next == target, qPrintable(order[i - 1] + " is not followed by " + order[i]));
        w = target;
    }
    for (const char* noFocus : {"Label1", "Frame1", "lblT1"})
        QCOMPARE(h.find<QWidget>(QString::fromUtf8(noFocus))->focusPolicy(), Qt::NoFocus);
}

void WindowTest::comesUpWithoutTheTable() {
    Harness h;
    QCOMPARE(nw::test::snapshot(h.program.path()), (Snapshot{{"F2J.txt", ""}}));
    QVERIFY(h.messages.isEmpty());
    QVERIFY(h.form->isVisible());
}

NW_APP_TEST(WindowTest)

} // namespace nw::app::test

#include "window_test.moc"
