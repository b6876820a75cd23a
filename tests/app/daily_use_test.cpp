// Daily use through the window: what is typed into the filter and the path
// box, what the list shows after a pass that did not finish, the boxes'
// buttons, the preview as a tool window, names that would hide what they are.
#include "app_test_support.h"

#include "app/contrast.h"

#include "app/file_list_menu.h"
#include "app/preview_window.h"
#include "app/user_messages.h"

#include <QAction>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace nw::app::test {

class DailyUseTest : public QObject {
    Q_OBJECT
private slots:
    void aTypedFilterFilters();
    void theListIsTheTruthAfterAFailure();
    void theExistenceBoxSaysWhatItDoes_data();
    void theExistenceBoxSaysWhatItDoes();
    void stoppingFromTheExistenceBox();
    void thePreviewIsAToolWindow();
    void namesShowWhatTheyAre();
    void thePathBoxKnowsHome();
    void buttonsThatCannotActSayWhy();
};

void DailyUseTest::aTypedFilterFilters() {
    Harness h;
    for (const char* n : {"旅行照片1.jpg", "照片.png", "notes.txt", "plan.doc", "a.md"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    auto* combo = h.find<QComboBox>("Combo1");
    h.form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    auto typeInto = [&](const QString& text, bool enter) {
        combo->lineEdit()->setText(text);
        if (enter)
            QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        else
            h.find<QLineEdit>("txtPath")->setFocus(); // leaving the box
        QApplication::processEvents();
    };
    combo->lineEdit()->setFocus();
    typeInto(QStringLiteral("*照片*"), true);
    QCOMPARE(h.names(), QStringList({"旅行照片1.jpg", "照片.png"}));
    // "全选" then selects only what is shown.
    h.click("cmdSelect(0)");
    QCOMPARE(h.list().ListCount(), 2);
    combo->lineEdit()->setFocus();
    typeInto(QStringLiteral("*.txt;*.DOC"), false);
    QCOMPARE(h.names(), QStringList({"notes.txt", "plan.doc"}));
    // The items keep their behaviour, typed or chosen.
    combo->setCurrentIndex(0);
    emit combo->activated(0);
    QCOMPARE(h.list().ListCount(), 5);
    QCOMPARE(h.takeMessages(), QString());
}

// A pass that fails at the third selected entry: the list shows the names on
// disk, the failing entry and those after it stay selected, the message counts
// what was renamed, and the button carries on once the cause is gone.
void DailyUseTest::theListIsTheTruthAfterAFailure() {
    Harness h;
    for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "C.TXT.keep"})
        file(h.work.path(), n);
    file(h.work.path(), "C.TXT", "in the way");
    h.click("cmdSelect(3)");
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.select({"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"});
    const Snapshot before = nw::test::snapshot(h.work.path());
    queueExistsAnswer(ExistsAnswer::Stop); // the box for C.TXT: "停止改名"
    h.click("Command1");
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("“c.txt”")) &&
                 msg.endsWith(QStringLiteral("已改名 2 个文件。")),
             qPrintable(msg));
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"a.txt", "A.TXT"}, {"b.txt", "B.TXT"}}));
    QCOMPARE(h.names(),
             QStringList({"A.TXT", "B.TXT", "C.TXT", "c.txt", "C.TXT.keep", "d.txt", "e.txt"}));
    QStringList selected;
    for (int i = 0; i < h.list().ListCount(); ++i)
        if (h.list().Selected(i))
            selected << h.names()[i];
    QCOMPARE(selected, QStringList({"c.txt", "d.txt", "e.txt"}));

    ::unlink((h.work.path() + "/C.TXT").c_str());
    h.click("cmdSelect(3)"); // 刷新 keeps nothing selected: select again
    h.select({"c.txt", "d.txt", "e.txt"});
    h.click("Command1");
    QCOMPARE(h.takeMessages(), QString());
    QCOMPARE(nw::test::snapshot(h.work.path()).size(), before.size() - 1);
}

void DailyUseTest::theExistenceBoxSaysWhatItDoes_data() {
    QTest::addColumn<QString>("press"); // a button's name, or "Escape"
    QTest::addColumn<int>("answer");
    QTest::newRow("跳过") << "cmdSkip" << int(ExistsAnswer::Skip);
    QTest::newRow("全部跳过") << "cmdSkipAll" << int(ExistsAnswer::SkipAll);
    QTest::newRow("停止改名") << "cmdStop" << int(ExistsAnswer::Stop);
    QTest::newRow("Escape") << "Escape" << int(ExistsAnswer::Stop);
}

// The real box, its texts and its keys.
void DailyUseTest::theExistenceBoxSaysWhatItDoes() {
    QFETCH(QString, press);
    QFETCH(int, answer);
    Harness h;
    setMessageHook(nullptr); // the box itself
    QStringList buttons;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        for (QAbstractButton* b : box->buttons())
            buttons << b->text();
        if (press == QLatin1String("Escape"))
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->findChild<QPushButton*>(press)->click();
    });
    const ExistsAnswer got =
        askAboutExistingName(h.form.get(), QStringLiteral("1.txt文件已经存在！"));
    setMessageHook([&h](MessageKind, const QString& t) { h.messages << t; });
    QCOMPARE(int(got), answer);
    QCOMPARE(text, QStringLiteral("1.txt文件已经存在！"));
    QCOMPARE(buttons.size(), 3);
    for (const char* b : {"跳过", "全部跳过", "停止改名"})
        QVERIFY(buttons.contains(QString::fromUtf8(b)));
}

void DailyUseTest::stoppingFromTheExistenceBox() {
    Harness h;
    for (const char* n : {"a.txt", "b.txt", "图2.txt", "c.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("图"));
    h.select({"a.txt", "b.txt", "c.txt"});
    queueExistsAnswer(ExistsAnswer::Stop);
    h.click("Command2");
    // a.txt became 图1.txt; b.txt's 图2.txt exists: the box, then the stop.
    const QString msg = h.takeMessages();
    QVERIFY2(msg.startsWith(QStringLiteral("图2.txt文件已经存在！\n原文件：b.txt|")) &&
                 msg.contains(QStringLiteral("停止")) &&
                 msg.endsWith(QStringLiteral("已改名 1 个文件。")),
             qPrintable(msg));
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, {{"a.txt", "图1.txt"}}));
    QStringList selected;
    for (int i = 0; i < h.list().ListCount(); ++i)
        if (h.list().Selected(i))
            selected << h.names()[i];
    QCOMPARE(selected, QStringList({"b.txt", "c.txt"}));
}

void DailyUseTest::thePreviewIsAToolWindow() {
    Harness h;
    for (int i = 0; i < 150; ++i)
        file(h.work.path(), "file" + std::to_string(i) + (i < 5 ? ".TXT" : ".txt"));
    h.click("cmdSelect(3)");
    h.click("cmdSelect(0)");
    QTest::mouseClick(h.find<QRadioButton>("Option1(1)"), Qt::LeftButton); // lower case
    auto* page = qobject_cast<ToolPage*>(h.form->SSTab1->widget(0));
    PreviewWindow* w = h.form->openPreview(*page, *h.find<QPushButton>("Command1"));
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->windowHandle()->transientParent(), h.form->windowHandle());
    // Beside the window where the screen has room, else over the list: never
    // over the settings it follows.
    const QRect settings(h.form->SSTab1->mapToGlobal(QPoint(0, 0)), h.form->SSTab1->size());
    QVERIFY2(!w->frameGeometry().intersects(settings),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(w->frameGeometry().x())
                            .arg(w->frameGeometry().y())
                            .arg(w->frameGeometry().width())
                            .arg(w->frameGeometry().height())));
    // 150 rows: only the five that change are shown, and all on request.
    QVERIFY(w->chkChangedOnly->isChecked());
    QCOMPARE(w->model->rowCount(), 5);
    w->chkChangedOnly->setChecked(false);
    QCOMPARE(w->model->rowCount(), 150);
    QVERIFY(w->cmdApply->isEnabled());
    // Nothing to rename: the button cannot be pressed.
    h.select({"file10.txt"});
    QTRY_VERIFY(!w->cmdApply->isEnabled());
    QPointer<PreviewWindow> alive(w);
    QTest::keyClick(w, Qt::Key_Escape);
    QTRY_VERIFY(!alive);
}

void DailyUseTest::namesShowWhatTheyAre() {
    Harness h;
    const std::string rlo = "photo\u202Egpj.exe", newline = "line1\nline2.txt";
    file(h.work.path(), rlo, "rlo");
    file(h.work.path(), newline, "newline");
    file(h.work.path(), "plain.txt");
    h.click("cmdSelect(3)");
    QCOMPARE(h.names(),
             QStringList({"line1<U+000A>line2.txt", "photo<U+202E>gpj.exe", "plain.txt"}));
    for (int i = 0; i < 3; ++i) {
        const QVariant fg = h.list().model()->index(i, 0).data(Qt::ForegroundRole);
        QCOMPARE(fg.isValid() && fg.value<QBrush>().color() == hiddenCharacterColour(), i < 2);
    }
    // In the messages as well.
    h.find<QLineEdit>("txtRemoveStr")->setText(QStringLiteral("gpj"));
    file(h.work.path(), "photo\u202E.exe", "in the way");
    h.select({"photo<U+202E>gpj.exe"});
    h.click("cmdRemoveStr");
    QVERIFY(h.takeMessages().contains(QStringLiteral("“photo<U+202E>gpj.exe”")));
}

void DailyUseTest::thePathBoxKnowsHome() {
    Harness h;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(h.work.path()));
    ::mkdir((h.work.path() + "/照片").c_str(), 0755);
    file(h.work.path() + "/照片", "1.jpg");
    h.open("~/照片");
    QCOMPARE(h.list().Path(), h.work.path() + "/照片");
    h.open("~");
    QCOMPARE(h.list().Path(), h.work.path());
    qputenv("HOME", oldHome);
    QCOMPARE(h.takeMessages(), QString());
}

void DailyUseTest::buttonsThatCannotActSayWhy() {
    Harness h;
    file(h.work.path(), "a.txt");
    h.click("cmdSelect(3)");
    h.click("Command2");
    QCOMPARE(h.takeMessages(), QStringLiteral("请先选择要改名的文件"));
    h.click("cmdSelect(0)");
    h.click("cmdRemoveStr");
    QCOMPARE(h.takeMessages(), QStringLiteral("请输入需要去掉的字符串"));
    QCOMPARE(nw::test::snapshot(h.work.path()).count("a.txt"), 1u);
    // Undo shows its key.
    QAction* undo = h.form->File1Menu->mnuUndo;
    QCOMPARE(undo->shortcut(), QKeySequence(QKeySequence::Undo));
    QVERIFY(undo->isShortcutVisibleInContextMenu());
}

NW_APP_TEST(DailyUseTest)

} // namespace nw::app::test

#include "daily_use_test.moc"
