// The preview window from every entry point, following the settings, and
// "按此改名"; undo through the menu and Ctrl+Z.
#include "app_test_support.h"

#include "app/batch_page.h"
#include "app/file_list_menu.h"
#include "app/other_page.h"
#include "app/preview_window.h"
#include "app/tool_page.h"
#include "app/user_messages.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

namespace nw::app::test {

class PreviewUndoTest : public QObject {
    Q_OBJECT
private slots:
    void everyEntryPointOpensItsPreview();
    void previewFollowsAndAppliesWhatItShows();
    void undoPassByPass();
    void numberOptionsPreviewAskAndUndo_data();
    void numberOptionsPreviewAskAndUndo();
};

PreviewWindow* openedPreview(Harness& h) {
    const auto all = h.form->findChildren<PreviewWindow*>();
    for (PreviewWindow* w : all)
        if (w->isVisible())
            return w;
    return nullptr;
}

QStringList column(PreviewWindow& w, int c) {
    QStringList out;
    for (int r = 0; r < w.model->rowCount(); ++r)
        out << w.model->index(r, c).data().toString();
    return out;
}

void PreviewUndoTest::everyEntryPointOpensItsPreview() {
    Harness h(true);
    for (const char* n : {"a.txt", "中國.doc"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    h.click("cmdSelect(0)");
    const char* buttons[] = {"Command1",     "Command2", "cmdChangeExt",
                             "cmdRemoveStr", "cmdF2J",   "cmdJ2F"};
    for (const char* name : buttons) {
        auto* button = h.find<QPushButton>(name);
        auto* item = button->findChild<QAction*>(QStringLiteral("mnuPreviewButton"));
        QVERIFY(item && item->text() == QStringLiteral("预览改名结果…"));
        item->trigger();
        PreviewWindow* w = openedPreview(h);
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("改名预览"));
        QCOMPARE(&w->opener(), button);
        w->close();
        QTRY_VERIFY(!openedPreview(h));
    }
    QCOMPARE(h.takeMessages(), QString());

    // The file list's menu: the page in front; on "其它" a sub-menu names its tools.
    FileListMenu& menu = *h.form->File1Menu;
    h.form->SSTab1->setCurrentIndex(1);
    menu.update();
    QVERIFY(!menu.mnuPreview->menu());
    menu.mnuPreview->trigger();
    QVERIFY(openedPreview(h) && &openedPreview(h)->opener() == h.find<QPushButton>("Command2"));
    openedPreview(h)->close();
    h.form->SSTab1->setCurrentIndex(2);
    menu.update();
    QVERIFY(menu.mnuPreview->menu());
    const auto tools = menu.mnuPreview->menu()->actions();
    QCOMPARE(tools.size(), 4);
    QCOMPARE(tools[2]->text(), QStringLiteral("繁体转简体"));
    tools[2]->trigger();
    PreviewWindow* w = openedPreview(h);
    QVERIFY(w && &w->opener() == h.find<QPushButton>("cmdF2J"));
    QCOMPARE(column(*w, 1), QStringList({QStringLiteral("a.txt"), QStringLiteral("中国.doc")}));
    w->close();
    h.form->SSTab1->setCurrentIndex(5); // "关于"
    menu.update();
    QVERIFY(!menu.mnuPreview->isEnabled());
}

void PreviewUndoTest::previewFollowsAndAppliesWhatItShows() {
    Harness h;
    for (const char* n : {"a.txt", "b.txt", "c.txt", "n2.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(0)");
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("n"));
    PreviewWindow* w =
        h.form->openPreview(*h.find<ToolPage>("page1"), *h.find<QPushButton>("Command2"));
    QCOMPARE(column(*w, 0), QStringList({"a.txt", "b.txt", "c.txt", "n2.txt"}));
    QCOMPARE(column(*w, 1), QStringList({"n1.txt", "n2.txt", "n3.txt", "n4.txt"}));
    QCOMPARE(column(*w, 2),
             QStringList({QStringLiteral("改名"), QStringLiteral("跳过：n2.txt文件已经存在！"),
                          QStringLiteral("改名"), QStringLiteral("改名")}));
    QVERIFY(w->model->index(1, 2).data(Qt::BackgroundRole).isValid()); // the conflict stands out
    QVERIFY(!w->model->index(0, 2).data(Qt::BackgroundRole).isValid());

    // A settings change and a selection change are followed.
    h.find<QLineEdit>("txtStep")->setText(QStringLiteral("abc"));
    QTRY_COMPARE(column(*w, 2).value(0),
                 QStringLiteral("在此停止：增量必须是 -32768 到 32767 之间的数字"));
    QCOMPARE(column(*w, 2).value(3), QStringLiteral("不会处理：改名已在前面停止"));
    QVERIFY(w->model->index(0, 2).data(Qt::BackgroundRole).isValid());
    h.find<QLineEdit>("txtStep")->setText(QStringLiteral("1"));
    h.select({"b.txt", "c.txt"});
    QTRY_COMPARE(column(*w, 1), QStringList({"n1.txt", "n2.txt"}));
    QVERIFY(h.takeMessages().isEmpty()); // a preview asks and tells nothing
    QCOMPARE(nw::test::snapshot(h.work.path()), before);

    // "按此改名" is the button's own pass: b.txt -> n1.txt, then n2.txt exists.
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    QCOMPARE(h.takeMessages(), QStringLiteral("n2.txt文件已经存在！\n原文件：c.txt"));
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(before, {{"b.txt", "n1.txt"}}));
    QTest::mouseClick(w->cmdClose, Qt::LeftButton);
    QTRY_VERIFY(!openedPreview(h));
}

void PreviewUndoTest::undoPassByPass() {
    Harness h;
    for (const char* n : {"a.txt", "b.txt", "c.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot start = nw::test::snapshot(h.work.path());
    FileListMenu& menu = *h.form->File1Menu;
    menu.update();
    QVERIFY(!menu.mnuUndo->isEnabled());

    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1"); // A.TXT B.TXT C.TXT
    h.find<QLineEdit>("txtRemoveStr")->setText(QStringLiteral("B"));
    h.click("cmdSelect(0)");
    h.click("cmdRemoveStr"); // .TXT
    const Snapshot twice = nw::test::snapshot(h.work.path());
    QVERIFY(twice.count(".TXT"));

    // Ctrl+Z in a text box is the box's own; elsewhere it undoes a pass.
    h.find<QLineEdit>("txtRemoveStr")->setFocus();
    QTest::keyClick(h.find<QLineEdit>("txtRemoveStr"), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(nw::test::snapshot(h.work.path()), twice);
    h.list().setFocus();
    QTest::keyClick(&h.list(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(
        nw::test::snapshot(h.work.path()),
        nw::test::renamed(start, {{"a.txt", "A.TXT"}, {"b.txt", "B.TXT"}, {"c.txt", "C.TXT"}}));
    QCOMPARE(h.names(), QStringList({"A.TXT", "B.TXT", "C.TXT"})); // re-read

    // An old name taken meanwhile: the box, as for a pass ("跳过" here);
    // what is left stays undoable.
    file(h.work.path(), "b.txt", "someone else's");
    menu.update();
    menu.mnuUndo->trigger();
    QVERIFY(h.takeMessages().contains(QStringLiteral("“B.TXT”的新文件名“b.txt”已经存在！")));
    ::unlink((h.work.path() + "/b.txt").c_str());
    menu.update();
    QVERIFY(menu.mnuUndo->isEnabled());
    menu.mnuUndo->trigger();
    QCOMPARE(nw::test::snapshot(h.work.path()), start);
    menu.update();
    QVERIFY(!menu.mnuUndo->isEnabled());
    QCOMPARE(h.takeMessages(), QString());
}

using Renames = std::map<std::string, std::string>;
using Setup = std::function<void(Harness&)>;

void PreviewUndoTest::numberOptionsPreviewAskAndUndo_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<Renames>("renames"); // what the preview shows and the pass does
    QTest::addColumn<QString>("taken");   // stands in the folder, unselected
    auto text = [](Harness& h, const char* box, const char* value) {
        h.find<QLineEdit>(box)->setText(QString::fromUtf8(value));
    };
    // 第二集 would take 第02集.MKV.
    QTest::newRow("numerals, width 2, half width, spaces kept")
        << "Command1" << Setup([=](Harness& h) {
               QTest::mouseClick(h.find<QCheckBox>("chkArabicNumbers"), Qt::LeftButton);
               QTest::mouseClick(h.find<QCheckBox>("chkHalfWidth"), Qt::LeftButton);
               QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
               QTest::mouseClick(h.find<QRadioButton>("Option2(2)"), Qt::LeftButton);
               text(h, "txtNumberWidth", "2");
           })
        << Renames{{"第一集 ＨＤ.mkv", "第01集 HD.MKV"}, {"第十二集.mkv", "第12集.MKV"}}
        << QStringLiteral("第02集.MKV");
    // Walked in the list's order (natural): 第一集 ＨＤ, 第二集, 第十二集;
    // 第二集 would take EP11.mkv.
    QTest::newRow("start 10, width 2") << "Command2" << Setup([=](Harness& h) {
        h.form->SSTab1->setCurrentIndex(1);
        text(h, "Text1", "EP");
        text(h, "txtStart", "10");
        text(h, "txtWidth", "2");
    }) << Renames{{"第一集 ＨＤ.mkv", "EP10.mkv"}, {"第十二集.mkv", "EP12.mkv"}}
                                       << QStringLiteral("EP11.mkv");
}

// The new numbering options through the preview, the existence box and undo,
// as the older settings go through them.
void PreviewUndoTest::numberOptionsPreviewAskAndUndo() {
    QFETCH(QString, button);
    QFETCH(Setup, setup);
    QFETCH(Renames, renames);
    QFETCH(QString, taken);
    Harness h;
    const QString clash = QStringLiteral("第二集.mkv");
    for (const QString& n :
         {QStringLiteral("第一集 ＨＤ.mkv"), clash, QStringLiteral("第十二集.mkv"), taken})
        file(h.work.path(), n.toStdString(), "content of " + n.toStdString());
    h.click("cmdSelect(3)");
    const Snapshot start = nw::test::snapshot(h.work.path());
    setup(h);
    QStringList chosen;
    for (const auto& [from, to] : renames)
        chosen << QString::fromStdString(from);
    h.select(chosen << clash);

    PreviewWindow* w = h.form->openPreview(
        *qobject_cast<ToolPage*>(h.form->SSTab1->currentWidget()), *h.find<QPushButton>(button));
    QVERIFY(w);
    QTRY_COMPARE(w->model->rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        const QString from = column(*w, 0)[r];
        if (from == clash) {
            QCOMPARE(column(*w, 1)[r], taken);
            QCOMPARE(column(*w, 2)[r],
                     QStringLiteral("跳过：") + taken + QStringLiteral("文件已经存在！"));
        } else {
            QCOMPARE(column(*w, 1)[r], QString::fromStdString(renames.at(from.toStdString())));
            QCOMPARE(column(*w, 2)[r], QStringLiteral("改名"));
        }
    }
    QCOMPARE(nw::test::snapshot(h.work.path()), start);

    // Applied as shown, the clash asked about and skipped; then undone whole.
    queueExistsAnswer(ExistsAnswer::Skip);
    QTest::mouseClick(w->cmdApply, Qt::LeftButton);
    const QString asked = h.takeMessages();
    QVERIFY2(asked.contains(taken) && asked.contains(QStringLiteral("已经存在！")),
             qPrintable(asked));
    QCOMPARE(nw::test::snapshot(h.work.path()), nw::test::renamed(start, renames));
    w->close();
    h.form->File1Menu->update();
    h.form->File1Menu->mnuUndo->trigger();
    QCOMPARE(nw::test::snapshot(h.work.path()), start);
    QCOMPARE(h.takeMessages(), QString());
}

NW_APP_TEST(PreviewUndoTest)

} // namespace nw::app::test

#include "preview_undo_test.moc"
