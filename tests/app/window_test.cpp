#include "app_test_support.h"

#include "app/appearance.h"
#include "app/batch_page.h"
#include "app/conversion_page.h"
#include "app/folder_tree.h"
#include "app/other_page.h"
#include "app/texts.h"
#include "app/tool_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>

#include <map>

namespace nw::app::test {

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsOnThePageZeroAndTheProgramFolder();
    void controlsStandApart_data();
    void controlsStandApart();
    void captionsAndInitialStates();
    void everyCaptionFits_data();
    void everyCaptionFits();
    void focusOrder();
    void comesUpWithoutTheTable();
};

void WindowTest::startsOnThePageZeroAndTheProgramFolder() {
    TempFolder program;
    file(program.path(), "tool.bin");
    file(program.path(), ".hidden");
    // Which folders building the window reads, and how often.
    struct CountingFileSystem : TestFileSystem {
        std::map<std::string, int> reads;
        FsStatus readFolder(const std::string& folder, std::vector<RawEntry>& out) override {
            ++reads[folder];
            return TestFileSystem::readFolder(folder, out);
        }
    } fs;
    Form1 form(fs, program.path());
    // Only the folder shown: once for its sub-folders, once for its files.
    QCOMPARE(fs.reads, (std::map<std::string, int>{{program.path(), 2}}));
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
    // The icon's images are really there (a QIcon of missing files is not null).
    QVERIFY(!form.windowIcon().pixmap(32, 32).isNull());
    QCOMPARE(form.windowIcon().availableSizes().size(), 3);
    // Opens at its smallest size, and can grow.
    QCOMPARE(form.size(), QSize(718, 404));
    QCOMPARE(form.minimumSize(), QSize(718, 404));
    QVERIFY(form.maximumWidth() > 2000 && form.maximumHeight() > 2000);
}

void WindowTest::controlsStandApart_data() {
    QTest::addColumn<QSize>("size");
    QTest::newRow("smallest") << QSize(718, 404);
    QTest::newRow("wide") << QSize(1400, 900);
    QTest::newRow("maximised on a large screen") << QSize(2560, 1400);
}

void WindowTest::controlsStandApart() {
    // Every control lies inside the window and inside its frame, and no two
    // controls that take input cover one another on any page, at any size.
    QFETCH(QSize, size);
    Harness h;
    const QRect list = h.form->File1->geometry(), tree = h.form->Dir1->geometry();
    const QSize pages = h.form->SSTab1->size();
    const int pagesRight = h.form->SSTab1->geometry().right();
    h.form->resize(size);
    QCOMPARE(h.form->size(), size);
    const QRect window = h.form->rect();
    // The list takes most of the new width and all of the new height; the
    // tree a little of the width; the pages keep their size at the right.
    const int dx = size.width() - 718, dy = size.height() - 404;
    QVERIFY(std::abs(h.form->File1->width() - list.width() - dx * 4 / 5) <= 1);
    QCOMPARE(h.form->File1->height(), list.height() + dy);
    QCOMPARE(h.form->Dir1->height(), tree.height() + dy);
    QCOMPARE(h.form->SSTab1->size(), pages);
    QCOMPARE(h.form->width() - h.form->SSTab1->geometry().right(), 718 - pagesRight);
    for (int page = 0; page < h.form->SSTab1->count(); ++page) {
        h.form->SSTab1->setCurrentIndex(page);
        std::vector<QWidget*> inputs;
        for (QWidget* w : h.form->findChildren<QWidget*>()) {
            if (!w->isVisible() || w->objectName().isEmpty() || w->isWindow())
                continue;
            const QRect r(w->mapTo(h.form.get(), QPoint(0, 0)), w->size());
            QVERIFY2(window.contains(r), qPrintable(w->objectName() + " leaves the window"));
            if (auto* frame = qobject_cast<QGroupBox*>(w->parentWidget()))
                QVERIFY2(frame->rect().contains(w->geometry()),
                         qPrintable(w->objectName() + " leaves " + frame->objectName()));
            if (w->focusPolicy() != Qt::NoFocus && !qobject_cast<QTabWidget*>(w) &&
                !qobject_cast<ToolPage*>(w))
                inputs.push_back(w);
        }
        QVERIFY(inputs.size() > 10);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            for (std::size_t j = i + 1; j < inputs.size(); ++j) {
                const QRect a(inputs[i]->mapTo(h.form.get(), QPoint(0, 0)), inputs[i]->size());
                const QRect b(inputs[j]->mapTo(h.form.get(), QPoint(0, 0)), inputs[j]->size());
                // A pixel lost to rounding twips is no overlap.
                const QRect both = a.intersected(b);
                QVERIFY2(
                    both.width() <= 1 || both.height() <= 1,
                    qPrintable(inputs[i]->objectName() + " covers " + inputs[j]->objectName()));
            }
    }
}

void WindowTest::captionsAndInitialStates() {
    Harness h;
    // Each filter item names its patterns in brackets, all files first.
    QVERIFY(h.form->Combo1->count() > 1);
    QVERIFY(h.form->Combo1->itemText(0).endsWith(QStringLiteral("(*.*)")));
    for (int i = 0; i < h.form->Combo1->count(); ++i)
        QVERIFY(QRegularExpression(QStringLiteral("^[^(]+\\([^()]+\\)$"))
                    .match(h.form->Combo1->itemText(i))
                    .hasMatch());
    QCOMPARE(h.form->SSTab1->count(), 6);
    QCOMPARE(h.form->SSTab1->tabText(4), QStringLiteral("文件信息"));
    // Every label and button says something (Label4(1) is an empty spacer).
    for (QWidget* w : h.form->findChildren<QWidget*>()) {
        if (w->objectName() == QStringLiteral("Label4(1)") || w->objectName().isEmpty() ||
            qobject_cast<QTabBar*>(w->parentWidget()))
            continue;
        if (auto* l = qobject_cast<QLabel*>(w))
            QVERIFY2(!l->text().trimmed().isEmpty(), qPrintable(w->objectName()));
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            QVERIFY2(!b->text().trimmed().isEmpty(), qPrintable(w->objectName()));
        if (auto* g = qobject_cast<QGroupBox*>(w))
            QVERIFY2(!g->title().trimmed().isEmpty(), qPrintable(w->objectName()));
    }
    // No address or number that reaches nobody: the name and version, the
    // licence, the libraries, where the guide is.
    QVERIFY(h.find<QLabel>("Label5")->text().startsWith(QStringLiteral("Namewright ")));
    for (const char* label : {"Label5", "Label6", "lblLibraries", "lblGuide"})
        QVERIFY(
            !h.find<QLabel>(label)->text().contains(QRegularExpression("\\d{3}-\\d{3}|\\.org")));
    QCOMPARE(h.find<QLineEdit>("txtNewExt")->toolTip(),
             QStringLiteral("只要输入扩展名，不需要前面的“.”符号"));
    QCOMPARE(h.find<QLineEdit>("txtStep")->text(), QStringLiteral("1"));
    QVERIFY(h.find<QLineEdit>("Text1")->text().isEmpty());
    // The examples are red: as dark as the window's ground needs.
    for (const char* red : {"lblT1", "lblTarget(0)", "lblTarget(1)"}) {
        const QColor c = h.find<QLabel>(red)->palette().color(QPalette::WindowText).toHsl();
        QVERIFY2(c.hslHue() == 0 && c.hslSaturation() == 255, red);
    }
    QVERIFY(h.find<QLabel>("lblS1")->palette().color(QPalette::WindowText).hslSaturation() < 255);
    const std::vector<std::pair<const char*, bool>> ticks{
        {"Check1(0)", true},  {"Check1(1)", true},   {"Check1(2)", false}, {"Check1(3)", false},
        {"Check2(0)", true},  {"Check2(1)", true},   {"Option1(2)", true}, {"Option1(0)", false},
        {"Option2(0)", true}, {"Option2(1)", false}, {"Option3(0)", true}, {"Option3(5)", false}};
    for (const auto& [name, on] : ticks)
        QCOMPARE(h.find<QAbstractButton>(QString::fromUtf8(name))->isChecked(), on);
}

// Every CJK font installed, alone, and a desktop theme's fonts of 9 to 11
// points for each kind of control (as qt6ct or KDE set them).
void WindowTest::everyCaptionFits_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("themePoints"); // 0: no theme fonts
    QTest::addColumn<QString>("locale");  // of the texts: Taiwan's and Hong Kong's too
    int families = 0;
    for (const char* f : {"WenQuanYi Micro Hei", "Noto Sans CJK SC"}) {
        if (!QFontDatabase::families().contains(QString::fromUtf8(f)))
            continue;
        ++families;
        for (int pt : {0, 9, 10, 11})
            QTest::addRow("%s, theme %d pt", f, pt) << QString::fromUtf8(f) << pt << QString();
        for (const char* locale : {"zh_TW", "zh_HK"})
            for (int pt : {0, 11})
                QTest::addRow("%s, theme %d pt, %s", f, pt, locale)
                    << QString::fromUtf8(f) << pt << QString::fromUtf8(locale);
    }
    if (families == 0)
        QTest::addRow("the default font") << QString() << 0 << QString();
}

// From the controls' own font metrics: each caption fits its control, and no
// control of a frame reaches into the frame's caption.
void WindowTest::everyCaptionFits() {
    QFETCH(QString, family);
    QFETCH(int, themePoints);
    QFETCH(QString, locale);
    struct Restore {
        ~Restore() {
            applyWindowFont(*qApp);
            installTranslations(QStringLiteral("C.UTF-8"));
        }
    } restore;
    installTranslations(locale);
    if (themePoints)
        for (const char* kind : {"QLabel", "QPushButton", "QCheckBox", "QRadioButton", "QGroupBox",
                                 "QLineEdit", "QComboBox", "QTabBar"})
            QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), themePoints), kind);
    applyWindowFont(*qApp, family.isEmpty() ? QStringList() : QStringList{family});
    Harness h;
    // qt6ct sets the application's font once the event loop runs, after the
    // window is built.
    if (themePoints) {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), themePoints));
        QApplication::processEvents();
    }
    int checked = 0;
    for (int page = 0; page < h.form->SSTab1->count(); ++page) {
        h.form->SSTab1->setCurrentIndex(page);
        for (QWidget* w : h.form->findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            if (!family.isEmpty() &&
                (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)))
                QVERIFY2(QFontInfo(w->font()).family() == family && w->font().pixelSize() == 12,
                         qPrintable(w->objectName() + ": " + QFontInfo(w->font()).family()));
            if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
                // A label that wraps needs its height at its own width.
                const QSize need = l->wordWrap() ? QSize(l->width(), l->heightForWidth(l->width()))
                                                 : l->sizeHint();
                QVERIFY2(need.width() <= l->width() && need.height() <= l->height(),
                         qPrintable(l->objectName() + " is clipped: " +
                                    QStringLiteral("%1x%2 in %3x%4")
                                        .arg(need.width())
                                        .arg(need.height())
                                        .arg(l->width())
                                        .arg(l->height())));
                ++checked;
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
                ++checked;
            }
            if (auto* box = qobject_cast<QGroupBox*>(w); box && !box->title().isEmpty()) {
                const int caption = box->fontMetrics().height();
                for (QWidget* c : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    QVERIFY2(c->y() > caption,
                             qPrintable(QStringLiteral("%1 reaches into %2's caption")
                                            .arg(c->objectName(), box->title())));
                    QVERIFY2(c->geometry().bottom() < box->height() - 1,
                             qPrintable(c->objectName() + " crosses its frame's bottom"));
                }
            }
        }
    }
    QVERIFY(checked > 40);
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
