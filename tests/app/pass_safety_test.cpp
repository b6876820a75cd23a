// What keeps a pass from trapping the user or hurting the program: "全部跳过"
// on the existence box, the program's own files, "停止" on the progress
// dialog, and a pass cut off last time put right at start.
#include "app_test_support.h"

#include "app/failure_text.h"
#include "app/file_list_menu.h"
#include "app/history_window.h"
#include "app/pass_runner.h"
#include "app/user_messages.h"
#include "platform/history.h"
#include "platform/journal.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nw::app::test {

class PassSafetyTest : public QObject {
    Q_OBJECT
private slots:
    void skipAllEndsTheBoxes();
    void theProgramsOwnFilesStopThePass();
    void stoppingFromTheProgressDialog();
    void undoOfAPassInAnotherFolderAsksFirst();
    void undoAfterTheWindowWasClosed();
    void anOlderPassIsUndoneFromTheHistory();
    void undoAsksWhereAnOldNameIsTakenSince();
    void aPassCutOffIsPutRightAtStart();
    void aPassCutOffIsUndoneOnRequest();
    void messagesSayWhatIsLeftAndFitTheScreen_data();
    void messagesSayWhatIsLeftAndFitTheScreen();
};

// A pass on a drive without atomic renames killed between linking a file's
// new name and removing its old one: the window, when it starts, leaves the
// file under one name and says so.
void PassSafetyTest::aPassCutOffIsPutRightAtStart() {
    TempFolder cut;
    file(cut.path(), "a.txt", "A");
    file(cut.path(), "b.txt", "B");
    QCOMPARE(::link((cut.path() + "/a.txt").c_str(), (cut.path() + "/a.bak").c_str()), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        // The pass: its journal written, the first rename begun, then gone
        // without a word.
        PassJournal j;
        PassJournal::begin(journalFolder(), cut.path(), {{"a.txt", "a.bak"}, {"b.txt", "b.bak"}},
                           j);
        j.started("a.txt", "a.bak");
        ::_exit(0);
    }
    ::waitpid(child, nullptr, 0);
    Harness h;
    QCOMPARE(h.messages.size(), 1);
    const QString told = h.messages.front();
    QVERIFY2(
        told.startsWith(QStringLiteral("上次改名被中断：已恢复 1 个文件的名称。\n\n文件夹“")) &&
            told.contains(QStringLiteral("要改名的 2 个文件中，已改名 1 个。")),
        qPrintable(told));
    QCOMPARE(nw::test::snapshot(cut.path()), (Snapshot{{"a.bak", "A"}, {"b.txt", "B"}}));
    QVERIFY(!h.form->findChild<HistoryWindow*>()); // "保留"
    h.messages.clear();
    // Told once; the pass stays in the history (the window started again
    // over the same state folder), as far as it had gone.
    Form1 again(h.fs, h.program.path(), cut.path());
    again.show();
    QVERIFY(h.messages.isEmpty());
    again.File1Menu->mnuHistory->trigger();
    auto* w = again.findChild<HistoryWindow*>();
    QVERIFY(w);
    QCOMPARE(w->lstPasses->count(), 1);
    QVERIFY2(w->lstPasses->item(0)->text().contains(QStringLiteral("（被中断）  1 个文件")),
             qPrintable(w->lstPasses->item(0)->text()));
}

// A pass killed half way, the program started again, "撤销这次改名": the
// pass's undo opens with its preview, and the folder is as before the pass,
// byte for byte.
void PassSafetyTest::aPassCutOffIsUndoneOnRequest() {
    TempFolder cut;
    std::vector<PlannedRename> plan;
    for (const char* n : {"a", "b", "c", "d"}) {
        file(cut.path(), std::string(n) + ".txt", std::string("content ") + n);
        plan.push_back({std::string(n) + ".txt", std::string(n) + ".bak"});
    }
    const Snapshot before = nw::test::snapshot(cut.path());
    const pid_t child = ::fork();
    if (child == 0) {
        // Two renames made, the third in flight (its second name made), then
        // killed.
        struct stat folder {};
        ::stat(cut.path().c_str(), &folder);
        PassJournal j;
        PassJournal::begin(journalFolder(), cut.path(),
                           FileId{static_cast<std::uint64_t>(folder.st_dev),
                                  static_cast<std::uint64_t>(folder.st_ino)},
                           plan, j, true, "扩展名改为 bak");
        for (int i = 0; i < 3; ++i) {
            const PlannedRename& p = plan[static_cast<std::size_t>(i)];
            j.started(p.oldName, p.newName);
            const std::string from = cut.path() + "/" + p.oldName,
                              to = cut.path() + "/" + p.newName;
            if (::link(from.c_str(), to.c_str()) != 0 || (i < 2 && ::unlink(from.c_str()) != 0))
                ::_exit(1);
        }
        ::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFSIGNALED(status));
    queueYesNoAnswer(true);
    Harness h;
    QVERIFY2(
        h.takeMessages().contains(QStringLiteral("（扩展名改为 bak）被中断：要改名的 4 个文件中，"
                                                 "已改名 3 个")),
        "the pass is named with how far it went");
    auto* w = h.form->findChild<HistoryWindow*>();
    QVERIFY(w);
    QCOMPARE(w->lstPasses->currentRow(), 0);
    QCOMPARE(w->lstUndoPreview->topLevelItemCount(), 3);
    QCOMPARE(w->lstUndoPreview->topLevelItem(0)->text(0), QStringLiteral("c.bak"));
    QCOMPARE(w->lstUndoPreview->topLevelItem(0)->text(1), QStringLiteral("c.txt"));
    QTest::mouseClick(w->cmdUndo, Qt::LeftButton);
    QCOMPARE(nw::test::snapshot(cut.path()), before);
    QCOMPARE(h.takeMessages(), QString());
}

void PassSafetyTest::skipAllEndsTheBoxes() {
    Harness h;
    for (const char* n : {"图1.txt", "图2.txt", "图3.txt", "图4.txt", "x.txt"})
        file(h.work.path(), n);
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("图"));
    h.click("cmdSelect(0)");
    queueExistsAnswer(ExistsAnswer::SkipAll);
    h.click("Command2");
    // One box, then the count of the names skipped without one; no success.
    QCOMPARE(
        h.messages,
        QStringList({QStringLiteral("图1.txt文件已经存在！\n原文件：x.txt"),
                     QStringLiteral("另有 3 个文件的新文件名已经存在，已跳过，没有逐个提示。")}));
    // In list order x.txt comes first (its new name 图1.txt is taken), and
    // only 图4.txt finds its new name free.
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"图4.txt", "图5.txt"}}));
}

void PassSafetyTest::theProgramsOwnFilesStopThePass() {
    Harness h(true);
    for (const char* n : {"a.txt", "z.txt"})
        file(h.program.path(), n);
    h.open(h.program.path());
    const Snapshot before = nw::test::snapshot(h.program.path());
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("F2J.txt")) &&
                 msg.contains(QStringLiteral("程序自身的文件，不能改名")),
             qPrintable(msg));
    QCOMPARE(nw::test::snapshot(h.program.path()), nw::test::renamed(before, {{"a.txt", "A.TXT"}}));
    // A name that stays as it is touches nothing, so the table may be selected.
    h.click("cmdSelect(3)");
    h.select({QStringLiteral("F2J.txt"), QStringLiteral("z.txt")});
    h.find<QLineEdit>("txtRemoveStr")->setText(QStringLiteral("z"));
    h.click("cmdRemoveStr");
    QCOMPARE(h.takeMessages(), QString());

    // Nor is a folder that holds one of them, in a pass over a tree.
    std::filesystem::create_directories(h.work.path() + "/apps/tool");
    file(h.work.path() + "/apps/tool", "tool.bin");
    h.form->passRunner->protectFile(h.work.path() + "/apps/tool", "tool.bin");
    h.open(h.work.path());
    h.list().setTreeOptions({true, true});
    const Snapshot tree = nw::test::snapshotTree(h.work.path());
    h.select({QStringLiteral("apps/tool/"), QStringLiteral("apps/")});
    h.click("Command1");
    QVERIFY2(h.takeMessages().contains(QStringLiteral("tool")), "no word of the folder");
    QCOMPARE(nw::test::snapshotTree(h.work.path()), tree);
}

void PassSafetyTest::stoppingFromTheProgressDialog() {
    Harness h;
    QStringList names;
    for (char c = 'a'; c <= 'j'; ++c) {
        file(h.work.path(), std::string(1, c) + ".txt");
        names << QStringLiteral("%1.txt").arg(QLatin1Char(c));
    }
    h.click("cmdSelect(3)");
    const Snapshot before = nw::test::snapshot(h.work.path());
    int shown = 0;
    h.form->passRunner->setProgressTiming(0, 0);
    h.form->passRunner->setProgressHook([&](QProgressDialog& d, int done) {
        ++shown;
        QCOMPARE(d.maximum(), 10);
        QVERIFY(d.labelText().contains(QStringLiteral("%1").arg(done)));
        if (done == 3) {
            auto* stop = d.findChild<QPushButton*>();
            QVERIFY(stop && stop->text() == QStringLiteral("停止"));
            QTest::mouseClick(stop, Qt::LeftButton);
        }
    });
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    QCOMPARE(shown, 3);
    // Stopped before the fourth entry, exactly as a failing rename: the
    // earlier renames stay, the list shows the names on disk with the rest
    // still selected, and the user is told how many were renamed.
    const QString msg = h.takeMessages();
    QVERIFY2(msg.contains(QStringLiteral("停止")) && msg.contains(QStringLiteral("“d.txt”")) &&
                 msg.endsWith(QStringLiteral("已改名 3 个文件。")),
             qPrintable(msg));
    QCOMPARE(
        nw::test::snapshot(h.work.path()),
        nw::test::renamed(before, {{"a.txt", "A.TXT"}, {"b.txt", "B.TXT"}, {"c.txt", "C.TXT"}}));
    for (int i = 0; i < 3; ++i)
        names[i] = names[i].toUpper();
    QCOMPARE(h.names(), names);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(h.list().Selected(i), i >= 3);
    QVERIFY(!h.form->findChild<QProgressDialog*>());

    // Undo walks with the same dialog, newest rename first: stopped after
    // one file is put back, the other two stay renamed and undoable.
    int undone = 0;
    h.form->passRunner->setProgressHook([&](QProgressDialog& d, int done) {
        ++undone;
        QVERIFY2(d.labelText().startsWith(QStringLiteral("正在撤销改名")),
                 qPrintable(d.labelText()));
        QCOMPARE(d.maximum(), 3);
        if (done == 1)
            QTest::mouseClick(d.findChild<QPushButton*>(), Qt::LeftButton);
    });
    h.form->passRunner->undo();
    QCOMPARE(undone, 1);
    QVERIFY(h.takeMessages().contains(QStringLiteral("停止")));
    QCOMPARE(nw::test::snapshot(h.work.path()),
             nw::test::renamed(before, {{"a.txt", "A.TXT"}, {"b.txt", "B.TXT"}}));
    QVERIFY(h.form->passRunner->canUndo());
    QVERIFY(!h.form->findChild<QProgressDialog*>());
    // The files it has yet to put back are selected; undo again carries on.
    QStringList selected;
    for (int i = 0; i < h.list().ListCount(); ++i)
        if (h.list().Selected(i))
            selected << h.names().at(i);
    QCOMPARE(selected, QStringList({"A.TXT", "B.TXT"}));
    h.form->passRunner->setProgressHook([](QProgressDialog&, int) {});
    h.form->passRunner->undo();
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QVERIFY(!h.form->passRunner->canUndo());
    QCOMPARE(h.takeMessages(), QString());

    // With the usual timing a short pass shows no dialog at all.
    h.form->passRunner->setProgressTiming(500, 100);
    h.click("cmdSelect(3)");
    h.click("cmdSelect(0)");
    h.click("Command1");
    QCOMPARE(shown, 3);
    QCOMPARE(h.takeMessages(), QString());
}

// Ctrl+Z in another folder than the last pass's: the user is asked first,
// the folder named; "否" changes nothing, "是" puts that folder back.
void PassSafetyTest::undoOfAPassInAnotherFolderAsksFirst() {
    Harness h;
    file(h.work.path(), "a.txt");
    TempFolder other;
    file(other.path(), "b.txt");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(3)");
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    const Snapshot renamed = nw::test::snapshot(h.work.path());
    QVERIFY(renamed.count("A.TXT"));
    h.open(other.path());
    for (const bool yes : {false, true}) {
        queueYesNoAnswer(yes);
        h.form->File1Menu->mnuUndo->trigger();
        const QString asked = h.takeMessages();
        QVERIFY2(asked.contains(QString::fromStdString(h.work.path())), qPrintable(asked));
        QCOMPARE(nw::test::snapshot(h.work.path()), yes ? before : renamed);
        QCOMPARE(nw::test::snapshot(other.path()).count("b.txt"), 1u);
        QCOMPARE(h.form->passRunner->canUndo(), !yes);
    }
}

// The history outlives the window: a pass, the window closed, a new one over
// the same state folder undoes it (a damaged record beside it is named and
// never read); once undone, no later window offers it again.
void PassSafetyTest::undoAfterTheWindowWasClosed() {
    TempFolder folder;
    for (const char* n : {"a.txt", "b.txt"})
        file(folder.path(), n);
    const Snapshot before = nw::test::snapshot(folder.path());
    Snapshot renamed;
    {
        Harness h;
        h.open(folder.path());
        QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
        h.click("cmdSelect(0)");
        h.click("Command1");
        renamed = nw::test::snapshot(folder.path());
        QVERIFY(renamed.count("A.TXT") && renamed.count("B.TXT"));
    }
    nw::test::writeFile(historyFolder(), "000000000001-1-1.pass", "NWH1\ntorn");
    QStringList messages;
    setMessageHook([&](MessageKind, const QString& text) { messages << text; });
    TestFileSystem fs;
    TempFolder program;
    for (const bool first : {true, false}) {
        Form1 form(fs, program.path(), folder.path());
        form.show();
        if (first) {
            QVERIFY2(messages.join('|').contains(QStringLiteral("1 条记录已损坏")),
                     qPrintable(messages.join('|')));
            QVERIFY(form.passRunner->canUndo());
            form.File1Menu->mnuUndo->trigger();
            QCOMPARE(nw::test::snapshot(folder.path()), before);
        }
        QVERIFY(!form.passRunner->canUndo());
    }
    setMessageHook(nullptr);
}

// "改名历史…": the passes newest first, each with its tool, its count and its
// folder; choosing one shows its undo file by file. An older pass is undone
// from there (a file moved since is left and named; never while another
// window holds the pass) while a newer one in another folder stays, and the
// undo heads the list, not undoable itself.
void PassSafetyTest::anOlderPassIsUndoneFromTheHistory() {
    Harness h;
    TempFolder other;
    file(h.work.path(), "a.txt");
    file(h.work.path(), "c.txt");
    file(other.path(), "b.txt");
    Snapshot workBefore = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(3)");
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    h.open(other.path());
    h.click("cmdSelect(0)");
    h.click("Command1");
    const Snapshot otherAfter = nw::test::snapshot(other.path());
    QVERIFY(otherAfter.count("B.TXT"));
    // Another program has since moved one of the older pass's files.
    const std::string w0 = h.work.path();
    QCOMPARE(::rename((w0 + "/C.TXT").c_str(), (w0 + "/moved.txt").c_str()), 0);
    workBefore["moved.txt"] = workBefore.at("c.txt");
    workBefore.erase("c.txt");
    h.form->File1Menu->mnuHistory->trigger();
    auto* w = h.form->findChild<HistoryWindow*>();
    QVERIFY(w);
    QCOMPARE(w->lstPasses->count(), 2);
    QVERIFY(w->lstPasses->item(0)->text().contains(QString::fromStdString(other.path())));
    const QString older = w->lstPasses->item(1)->text();
    QVERIFY2(older.contains(QStringLiteral("文件名转换  2 个文件  ") +
                            QString::fromStdString(h.work.path())),
             qPrintable(older));
    // Its undo, file by file, before anything is touched.
    w->lstPasses->setCurrentRow(1);
    QCOMPARE(w->lstUndoPreview->topLevelItemCount(), 2);
    QCOMPARE(w->lstUndoPreview->topLevelItem(0)->text(1),
             QStringLiteral("不会撤销：已不是这次改名后的文件"));
    QCOMPARE(w->lstUndoPreview->topLevelItem(1)->text(1), QStringLiteral("a.txt"));
    QCOMPARE(w->lblUndoSummary->text(), QStringLiteral("撤销后 1 个文件会改回原名，1 个不会。"));
    {
        // Another window undoing the same pass holds its record meanwhile.
        HistoryHold held;
        QCOMPARE(held.take(historyFolder(),
                           w->lstPasses->item(1)->data(Qt::UserRole).toString().toStdString()),
                 HistoryHold::Held);
        const Snapshot renamed = nw::test::snapshot(h.work.path());
        QTest::mouseClick(w->cmdUndo, Qt::LeftButton);
        QCOMPARE(h.takeMessages(),
                 QStringLiteral("这次改名正在另一个窗口里撤销，没有做任何改动。"));
        QCOMPARE(nw::test::snapshot(h.work.path()), renamed);
    }
    w->lstPasses->setCurrentRow(1);
    QTest::mouseClick(w->cmdUndo, Qt::LeftButton);
    QCOMPARE(nw::test::snapshot(h.work.path()), workBefore);
    QCOMPARE(h.takeMessages(),
             QStringLiteral("有 1 个文件没有撤销：\n“C.TXT”：已不是这次改名后的文件"));
    QCOMPARE(nw::test::snapshot(other.path()), otherAfter);
    QCOMPARE(w->lstPasses->count(), 2);
    QVERIFY(w->lstPasses->item(0)->text().contains(QStringLiteral("撤销改名：文件名转换")));
    QVERIFY(!(w->lstPasses->item(0)->flags() & Qt::ItemIsEnabled));
    QVERIFY(w->lstPasses->item(1)->flags() & Qt::ItemIsEnabled); // the newer pass
}

// Undo meets an old name another file took since the pass: the box names
// both, "跳过" leaves that file as it is and undoable, the rest goes back;
// once the name is free, undo again finishes the job.
void PassSafetyTest::undoAsksWhereAnOldNameIsTakenSince() {
    Harness h;
    file(h.work.path(), "a.txt");
    file(h.work.path(), "b.txt");
    const Snapshot before = nw::test::snapshot(h.work.path());
    h.click("cmdSelect(3)");
    QTest::mouseClick(h.find<QRadioButton>("Option1(0)"), Qt::LeftButton);
    h.click("cmdSelect(0)");
    h.click("Command1");
    nw::test::writeFile(h.work.path(), "b.txt", "a newcomer");
    queueExistsAnswer(ExistsAnswer::Skip);
    h.form->File1Menu->mnuUndo->trigger();
    QVERIFY2(h.takeMessages().contains(QStringLiteral("“B.TXT”的新文件名“b.txt”已经存在！")),
             "the box names both files");
    Snapshot expected = before;
    expected["b.txt"] = "a newcomer"; // the newest rename, skipped: undone first
    expected["B.TXT"] = before.at("b.txt");
    QCOMPARE(nw::test::snapshot(h.work.path()), expected);
    QVERIFY(h.form->passRunner->canUndo());
    QVERIFY(::unlink((h.work.path() + "/b.txt").c_str()) == 0);
    h.form->File1Menu->mnuUndo->trigger();
    QCOMPARE(nw::test::snapshot(h.work.path()), before);
    QVERIFY(!h.form->passRunner->canUndo());
    QCOMPARE(h.takeMessages(), QString());
}

// What the user is told at the edges: a file gone, a step that could not be
// taken back (and the journal that stays for it), a state folder that is
// full, a journal set aside; and no line longer than a screen, whatever the
// name (a name may run to thousands of characters).
void PassSafetyTest::messagesSayWhatIsLeftAndFitTheScreen_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("says");
    const std::u32string huge(32767, U'长');
    PassFailure gone{1, U"banana.txt", U"BANANA.TXT", FailureReason::FileSystem,
                     FsStatus{FsError::NotFound, 0}};
    QTest::newRow("a file gone") << passFailureText(gone)
                                 << QStringLiteral(
                                        "找不到文件“banana.txt”（可能已被移走或删除）。");
    PassFailure stuck{1, U"b.txt", U"b.bak", FailureReason::FileSystem, FsStatus{FsError::Io, EIO}};
    stuck.fs.putBackError = EIO;
    stuck.fs.leftAs = "/media/u/b.bak";
    QTest::newRow("left between two names")
        << passFailureText(stuck) << QStringLiteral("留下了“/media/u/b.bak”。改名日志已保留");
    QTest::newRow("a full state folder")
        << passFailureText({0, U"a.txt", U"A.TXT", FailureReason::FileSystem,
                            FsStatus{FsError::JournalUnwritable, ENOSPC}})
        << QStringLiteral("保存改名日志的文件夹已满或不能写入");
    QTest::newRow("a huge name") << passFailureText({0, huge, huge + U"1",
                                                     FailureReason::FileSystem,
                                                     FsStatus{FsError::NameTooLong, 0}})
                                 << QStringLiteral("长…长");
    RecoveryReport set;
    set.setAside.push_back({"/media/u/照片", "/s/pass-1-1.journal.kept"});
    set.setAside.push_back({"", "/s/pass-1-2.journal.kept"});
    QTest::newRow("journals set aside")
        << recoveryText(set)
        << QStringLiteral("文件夹“/media/u/照片”里有一次被中断的改名，但它的改名日志已损坏");
}

void PassSafetyTest::messagesSayWhatIsLeftAndFitTheScreen() {
    QFETCH(QString, text);
    QFETCH(QString, says);
    QVERIFY2(text.contains(says), qPrintable(text));
    for (const QString& line : text.split('\n'))
        QVERIFY2(line.size() < 300, qPrintable(line.left(100)));
}

NW_APP_TEST(PassSafetyTest)

} // namespace nw::app::test

#include "pass_safety_test.moc"
