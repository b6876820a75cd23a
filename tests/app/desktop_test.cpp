// What a desktop user and a screen reader meet: Qt's own texts in Chinese,
// names never taken for markup, the filter's whole items, no sideways scroll
// bar, dropped folders and file:// addresses, buttons told apart, every
// control named for a screen reader.
#include "app_test_support.h"

#include "app/appearance.h"
#include "app/command_line.h"
#include "app/contrast.h"
#include "app/facts_page.h"
#include "app/failure_text.h"
#include "app/file_list_menu.h"
#include "app/history_window.h"
#include "app/other_page.h"
#include "app/preview_window.h"
#include "app/qt_text.h"
#include "app/remembered.h"
#include "app/texts.h"
#include "app/user_messages.h"
#include "platform/phrase_converter.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTimer>
#include <QUrl>

namespace nw::app::test {

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void qtTextsAreChinese();
    void namesArePlainText();
    void wholeFilterItemsAndNoSidewaysScrolling();
    void droppedFoldersAndFileAddresses();
    void buttonsWithOneCaptionAreToldApart();
    void everyControlHasItsOwnName();
    void everyControlLiesInsideItsFrame();
    void theDesktopsDarkPaletteIsKept();
    void keptBetweenRuns();
    void boxesOpenOverTheWindow();
    void everyMessageIsItsOwnText();
    void traditionalWhereTheDesktopIs();
};

void DesktopTest::qtTextsAreChinese() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Namewright"), QStringLiteral("x"),
                    QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
}

void DesktopTest::namesArePlainText() {
    Harness h;
    for (QLabel* l : h.form->findChildren<QLabel*>())
        QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("<b>x</b>&lt;"));
    auto* target = h.find<QLabel>("lblTarget(0)");
    QCOMPARE(target->text(), QStringLiteral("<b>x</b>&lt;1.gif"));
    QCOMPARE(target->textFormat(), Qt::PlainText);
}

void DesktopTest::wholeFilterItemsAndNoSidewaysScrolling() {
    Harness h;
    auto* combo = h.find<QComboBox>("Combo1");
    for (int i = 0; i < combo->count(); ++i)
        QVERIFY2(combo->view()->minimumWidth() >
                     combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)),
                 qPrintable(combo->itemText(i)));
    std::string longName(200, 'n');
    longName += ".txt";
    file(h.work.path(), longName);
    h.click("cmdSelect(3)");
    QVERIFY(!h.list().horizontalScrollBar()->isVisible());
    QCOMPARE(h.list().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void DesktopTest::droppedFoldersAndFileAddresses() {
    Harness h;
    TempFolder other;
    file(other.path(), "dropped.txt");
    h.form->goToDropped(QUrl::fromLocalFile(
        QString::fromStdString(other.path() + "/dropped.txt"))); // a file: its folder
    QCOMPARE(h.list().Path(), other.path());
    QCOMPARE(h.names(), QStringList({"dropped.txt"}));
    // A real drop on the path box reaches the window.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(h.work.path()))});
    auto* box = h.find<QLineEdit>("txtPath");
    const QPoint at = box->mapTo(h.form.get(), box->rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.form.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(h.form.get(), &drop);
    QCOMPARE(h.list().Path(), h.work.path());
    QVERIFY(!box->acceptDrops()); // so that the box does not paste the address
    h.find<QLineEdit>("txtPath")->setText(QStringLiteral("file://") +
                                          QString::fromStdString(other.path()));
    h.click("cmdGoPath");
    QCOMPARE(h.list().Path(), other.path());
    QCOMPARE(h.takeMessages(), QString());
}

void DesktopTest::buttonsWithOneCaptionAreToldApart() {
    Harness h;
    QSet<QString> names;
    for (QPushButton* b : h.form->findChildren<QPushButton*>()) {
        const QString name = b->accessibleName().isEmpty() ? b->text() : b->accessibleName();
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
    }
}

// What a screen reader says for each control that takes focus: a name, in
// Chinese, that no other control has, on one line, never a caption twice.
void DesktopTest::everyControlHasItsOwnName() {
    Harness h;
    QMap<QString, QString> seen; // name -> control
    int controls = 0;
    for (QWidget* w : h.form->findChildren<QWidget*>()) {
        // Pages not in front are hidden; a control hidden by itself is out.
        if (w->focusPolicy() == Qt::NoFocus || w->focusProxy() || w->isHidden() ||
            w->window() != h.form.get() || // a drop-down's list, a menu
            qobject_cast<QAbstractItemView*>(w->parentWidget()) ||
            qobject_cast<QComboBox*>(w->parentWidget()))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        QVERIFY(a);
        // Qt on Linux names a combo box by its value and leaves the label to
        // a relation; the name set for it is what the test holds it to.
        const QString name =
            qobject_cast<QComboBox*>(w) ? w->accessibleName() : a->text(QAccessible::Name);
        const QString id = w->objectName().isEmpty()
                               ? QString::fromUtf8(w->metaObject()->className())
                               : w->objectName();
        ++controls;
        QVERIFY2(!name.trimmed().isEmpty(), qPrintable(id + " has no name"));
        QVERIFY2(!name.contains(QLatin1Char('\n')) && !name.contains(QLatin1Char('\r')) &&
                     !name.contains(QLatin1String("\\r")),
                 qPrintable(id + ": " + name));
        QVERIFY2(name.contains(QRegularExpression(QStringLiteral("\\p{Han}"))),
                 qPrintable(id + ": " + name));
        const int colon = int(name.indexOf(QStringLiteral("：")));
        QVERIFY2(colon < 0 || name.left(colon) != name.mid(colon + 1), qPrintable(name));
        QVERIFY2(!seen.contains(name), qPrintable(id + " and " + seen.value(name) + ": " + name));
        seen.insert(name, id);
    }
    QVERIFY2(controls >= 30, qPrintable(QString::number(controls)));
}

// The frame's line runs through its caption's middle; every control of the
// frame stands inside the line, at scale 1 (the test's) as at any other,
// since the layout and the caption scale together.
void DesktopTest::everyControlLiesInsideItsFrame() {
    Harness h;
    int frames = 0;
    for (QGroupBox* g : h.form->findChildren<QGroupBox*>()) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const int caption =
            g->style()
                ->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g)
                .height();
        const QRect inside = g->rect().adjusted(1, frameBorderTop(caption) + 1, -1, -1);
        // The line is drawn where the controls were placed for.
        const QImage shot = g->grab().toImage();
        const int x = g->width() - 4, y = frameBorderTop(caption);
        QVERIFY2(shot.pixelColor(x, y) != shot.pixelColor(x, y + 3), qPrintable(g->objectName()));
        for (QWidget* c : g->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (!c->isVisibleTo(g))
                continue;
            // A check box or an option button is as tall as its font needs,
            // centred on its place: what it draws is what must stay inside.
            QRect drawn = c->geometry();
            if (auto* b = qobject_cast<QAbstractButton*>(c); b && b->isCheckable()) {
                QStyleOptionButton o;
                o.initFrom(b);
                o.text = b->text();
                const auto element = qobject_cast<QRadioButton*>(b)
                                         ? QStyle::SE_RadioButtonClickRect
                                         : QStyle::SE_CheckBoxClickRect;
                drawn = b->style()->subElementRect(element, &o, b).translated(b->pos());
            }
            QVERIFY2(inside.contains(drawn),
                     qPrintable(QStringLiteral("%1 crosses %2's border: %3,%4 %5x%6 in %7x%8")
                                    .arg(c->objectName(), g->objectName())
                                    .arg(drawn.x())
                                    .arg(drawn.y())
                                    .arg(drawn.width())
                                    .arg(drawn.height())
                                    .arg(g->width())
                                    .arg(g->height())));
        }
        ++frames;
    }
    QCOMPARE(frames, 18);
}

void DesktopTest::theDesktopsDarkPaletteIsKept() {
    const QPalette before = QApplication::palette();
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2D, 0x2D, 0x2D));
    dark.setColor(QPalette::WindowText, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
    dark.setColor(QPalette::Text, QColor(0xE0, 0xE0, 0xE0));
    dark.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3A));
    dark.setColor(QPalette::ButtonText, QColor(0xE0, 0xE0, 0xE0));
    QApplication::setPalette(dark);
    {
        Harness h;
        const QImage shot = h.form->grab().toImage();
        if (const char* out = std::getenv("NAMEWRIGHT_DARK_SHOT"))
            shot.save(QString::fromLocal8Bit(out));
        QVERIFY(shot.pixelColor(h.form->width() / 2, h.form->height() - 3).lightness() < 80);
        // Every caption is light on the dark window, with no ground of its own.
        for (QLabel* l : h.form->findChildren<QLabel*>()) {
            QVERIFY2(!l->autoFillBackground(), qPrintable(l->objectName()));
            QVERIFY2(l->palette().color(l->foregroundRole()).lightness() > 100,
                     qPrintable(l->objectName()));
        }
    }
    QApplication::setPalette(before);
    // The program's own colours read at 4.5:1 at least on either palette:
    // the light one of the desktop, and this dark one.
    for (const QPalette& palette : {before, dark}) {
        QApplication::setPalette(palette);
        Harness h;
        const QColor base = palette.color(QPalette::Base);
        QVERIFY(contrastRatio(hiddenCharacterColour(), base) >= 4.5);
        QVERIFY(contrastRatio(legacyNameColour(), base) >= 4.5);
        for (const char* red : {"lblT1", "lblTarget(0)", "lblFactsTarget"}) {
            auto* l = h.find<QLabel>(red);
            QVERIFY2(contrastRatio(l->palette().color(QPalette::WindowText),
                                   l->palette().color(QPalette::Window)) >= 4.5,
                     red);
        }
    }
    QApplication::setPalette(before);
}

// 转换标准, 排序方式 and the 文件信息 template are kept from one run to the
// next (the window's place too); nothing else is, and a file that cannot be
// read is passed over.
void DesktopTest::keptBetweenRuns() {
    Harness h;
    auto* standard = h.find<QComboBox>("cboStandard");
    QCOMPARE(standard->currentIndex(), 0);
    standard->setCurrentIndex(2);
    h.form->File1->setSortOrder({SortKey::Pinyin, true});
    h.find<QLineEdit>("txtTemplate")->setText(QStringLiteral("{拍摄日期}"));
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("not kept"));
    h.form->close();
    QVERIFY(QFileInfo::exists(rememberedFile()));

    for (int run = 0; run < 2; ++run) {
        Form1 next(h.fs, h.program.path(), h.work.path());
        QCOMPARE(next.findChild<QComboBox*>("cboStandard")->currentIndex(), 2);
        QCOMPARE(next.File1->sortOrder(), (SortOrder{SortKey::Pinyin, true}));
        QCOMPARE(next.findChild<QLineEdit*>("txtTemplate")->text(), QStringLiteral("{拍摄日期}"));
        QVERIFY(next.findChild<QLineEdit*>("Text1")->text().isEmpty());
        next.close(); // kept again, unchanged
    }

    // Damaged: garbage, then values out of range. The window opens as always.
    for (const QByteArray& damaged :
         {QByteArray("\x00\xff[[[\n=\x01", 9),
          QByteArray("[other]\nstandard=99\n[list]\nsort=-4\n[window]\ngeometry=junk\n")}) {
        QFile f(rememberedFile());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(damaged);
        f.close();
        Form1 next(h.fs, h.program.path(), h.work.path());
        next.show();
        QCOMPARE(next.findChild<QComboBox*>("cboStandard")->currentIndex(), 0);
        QCOMPARE(next.File1->sortOrder(), SortOrder{});
        QVERIFY(next.isVisible());
    }
}

// A box opens over its window, and at start-up (the window not shown yet)
// in the middle of the screen, where the window opens: never at a corner.
void DesktopTest::boxesOpenOverTheWindow() {
    const QSize box(300, 120);
    QWidget unshown;
    const QRect screen = unshown.screen()->availableGeometry();
    QCOMPARE(boxPlace(&unshown, box) + QPoint(150, 60), screen.center());
    Harness h;
    QCOMPARE(boxPlace(h.form.get(), box) + QPoint(150, 60), h.form->frameGeometry().center());
}

// Every kind of message, with names of 1, 5, 24 and 200 characters (and in
// Traditional Chinese), in the real box: the text shown is the message and nothing else (no
// invisible characters), laid out in lines Qt does not break again, a short quoted name on one
// line, the box inside the screen, and what Ctrl+C copies and a screen reader reads is the message
// as given.
void DesktopTest::everyMessageIsItsOwnText() {
    Harness h;
    h.form->show();
    const QString stem = QStringLiteral("第01集 The Long Name 长名字");
    QStringList checked;
    struct Back {
        ~Back() { installTranslations(QStringLiteral("C.UTF-8")); }
    } back;
    for (const auto& run : {std::pair{"C.UTF-8", 1},
                            {"C.UTF-8", 5},
                            {"C.UTF-8", 24},
                            {"C.UTF-8", 200},
                            {"zh_TW.UTF-8", 5},
                            {"zh_TW.UTF-8", 200}}) {
        const char* locale = run.first;
        const int length = run.second; // a lambda below takes it: not a binding
        installTranslations(QString::fromUtf8(locale));
        const QString quoted = traditional() ? QStringLiteral("「%1」") : QStringLiteral("“%1”");
        QString n;
        while (n.size() < length)
            n += stem;
        n.truncate(length);
        const std::u32string name = toU32(n);
        const std::string path = "/media/u/" + n.toStdString();
        PassFailure f{3, name, name + U".txt", FailureReason::FileSystem, {FsError::Exists, 17}};
        PassFailure gone = f;
        gone.fs = {FsError::NotFound, 2};
        gone.fs.putBackError = 5;
        gone.fs.leftAs = path;
        RecoveryReport r;
        r.restored = 2;
        r.unresolved = {path, path + "/x"};
        r.waiting = {path};
        r.setAside = {{path, path + ".journal"}, {"", path}};
        const RecoveryReport::Interrupted cut{path, {}, "批量改名", 24, {}};
        std::vector<PassStep> unusual(7, PassStep{0, name, std::nullopt, StepKind::Left,
                                                  LeftReason::MissingField, 0, U"拍摄日期"});
        const QStringList texts = {
            existsText(named(name)) + QStringLiteral("\n原文件：") + named(name),
            passFailureText(f),
            passFailureText(gone),
            folderFailureText(path, {FsError::PermissionDenied, 13}),
            givenFailureText(GivenError::NotLocal, "sftp://host/" + n.toStdString()),
            recoveryText(r) + QStringLiteral("\n\n") + interruptedText(cut),
            unusualText(unusual),
            startRefusalText(),
        };
        for (const QString& text : texts) {
            setMessageHook(nullptr);
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
                const QString shown = label->text();
                for (const QChar c : shown)
                    QVERIFY2(c.category() != QChar::Other_Format && c != QChar(0x2060),
                             qPrintable(shown));
                QCOMPARE(QString(shown).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')),
                         QString(text).remove(QLatin1Char('\n')).remove(QLatin1Char(' ')));
                QVERIFY2(!label->wordWrap(), qPrintable(shown)); // no breaks but these
                if (length <= 20) // a short name quoted is never broken
                    QVERIFY(shown.contains(quoted.arg(named(name))) ||
                            !text.contains(quoted.arg(named(name))));
                QVERIFY(box->screen()->availableGeometry().contains(box->frameGeometry()));
                QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name),
                         text);
                QTest::keySequence(box, QKeySequence::Copy);
                QVERIFY(QGuiApplication::clipboard()->text().contains(text));
                checked << shown;
                box->accept();
            });
            showMessage(h.form.get(), MessageKind::Warning, text);
        }
    }
    setMessageHook([&h](MessageKind, const QString& t) { h.messages << t; });
    QCOMPARE(checked.size(), 48);
}

// Under a Taiwanese locale (and a Hong Kong one, in its own words) every
// text the user meets is in Traditional Chinese: the window's captions, its
// menus and filter, the preview, the history, the boxes and --help; OpenCC's
// s2tw changes none of them. Any other locale keeps the texts as written.
void DesktopTest::traditionalWhereTheDesktopIs() {
    const std::pair<const char*, const char*> locales[] = {{"zh_TW.UTF-8", "zh_TW"},
                                                           {"zh_HK.UTF-8", "zh_HK"},
                                                           {"zh_MO", "zh_HK"},
                                                           {"zh_Hant_TW", "zh_TW"},
                                                           {"zh-TW", "zh_TW"},
                                                           {"zh_CN.UTF-8", ""},
                                                           {"zh_SG", ""},
                                                           {"C.UTF-8", ""},
                                                           {"en_US.UTF-8", ""}};
    for (const auto& [locale, which] : locales)
        QCOMPARE(translationFor(QString::fromUtf8(locale)), QString::fromUtf8(which));
    struct Back {
        ~Back() { installTranslations(QStringLiteral("C.UTF-8")); }
    } back;
    PhraseConverters converters;
    PhraseLoadError error;
    const auto s2tw = converters.get("s2tw.json", ChineseScript::Traditional, error);
    QVERIFY(s2tw);
    for (const char* locale : {"zh_TW.UTF-8", "zh_HK.UTF-8"}) {
        QVERIFY(!installTranslations(QString::fromUtf8(locale)).isEmpty());
        QStringList texts;
        Harness h;
        for (const char* n : {"a.txt", "b.txt"})
            file(h.work.path(), n);
        h.click("cmdSelect(3)");
        auto widgetTexts = [&texts](QWidget& top) {
            for (QWidget* w : top.findChildren<QWidget*>()) {
                if (w->objectName() == QLatin1String("Label9"))
                    continue; // the converter's example shows both scripts
                texts << w->accessibleName() << w->toolTip();
                if (auto* l = qobject_cast<QLabel*>(w))
                    texts << l->text();
                if (auto* b = qobject_cast<QAbstractButton*>(w))
                    texts << b->text();
                if (auto* g = qobject_cast<QGroupBox*>(w))
                    texts << g->title();
                if (auto* e = qobject_cast<QLineEdit*>(w))
                    texts << e->placeholderText();
                if (auto* c = qobject_cast<QComboBox*>(w))
                    for (int i = 0; i < c->count(); ++i)
                        texts << c->itemText(i);
                if (auto* t = qobject_cast<QTabWidget*>(w))
                    for (int i = 0; i < t->count(); ++i)
                        texts << t->tabText(i);
                for (QAction* a : w->actions())
                    texts << a->text();
            }
            for (QMenu* m : top.findChildren<QMenu*>())
                for (QAction* a : m->actions())
                    texts << a->text();
        };
        h.form->File1Menu->update();
        widgetTexts(*h.form);
        // The preview, over a clash: its rows say what happens.
        h.find<QLineEdit>("Text1")->setText(QStringLiteral("b"));
        h.select({"a.txt"});
        h.find<QPushButton>("Command2")
            ->findChild<QAction*>(QStringLiteral("mnuPreviewButton"))
            ->trigger();
        auto* preview = h.form->findChild<PreviewWindow*>();
        QVERIFY(preview && preview->isVisible());
        widgetTexts(*preview);
        texts << preview->windowTitle();
        for (int r = 0; r < preview->model->rowCount(); ++r)
            texts << preview->model->index(r, 2).data().toString();
        for (int c = 0; c < preview->model->columnCount(); ++c)
            texts << preview->model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        preview->close();
        // A pass, its box, and the history.
        queueExistsAnswer(ExistsAnswer::Skip);
        h.click("Command2");
        h.click("cmdSelect(1)");
        h.click("Command2");
        h.form->File1Menu->mnuHistory->trigger();
        auto* history = h.form->findChild<HistoryWindow*>();
        QVERIFY(history);
        widgetTexts(*history);
        texts << history->windowTitle();
        history->close();
        texts << h.takeMessages();
        // --help, before the window.
        std::FILE* out = std::tmpfile();
        readCommandLine({"--help"}, "/", out, stderr);
        std::rewind(out);
        char buffer[4096] = {};
        const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, out);
        std::fclose(out);
        const QString help = QString::fromUtf8(buffer, static_cast<qsizetype>(n));
        QVERIFY(help.contains(QStringLiteral("資料夾")));
        texts << help;

        int chinese = 0;
        for (const QString& t : texts) {
            QCOMPARE(toQt(s2tw->convert(toU32(t))), t);
            chinese += t.contains(QRegularExpression(QStringLiteral("\\p{Han}"))) ? 1 : 0;
        }
        QVERIFY2(chinese > 150, qPrintable(QString::number(chinese)));
        QVERIFY(texts.contains(QStringLiteral("檔名轉換")));
    }
    installTranslations(QStringLiteral("C.UTF-8"));
    Harness h;
    QCOMPARE(h.form->SSTab1->tabText(0), QStringLiteral("文件名转换"));
}

NW_APP_TEST(DesktopTest)

} // namespace nw::app::test

#include "desktop_test.moc"
