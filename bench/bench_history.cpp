// The history of passes: what keeping a pass's record costs the pass, undo
// answering while it walks a big folder, and the list of passes opening
// with a full history.
#include "bench/bench.h"

#include "app/file_list_menu.h"
#include "app/history_window.h"
#include "platform/history.h"

#include <QListWidget>

namespace nw::bench {
namespace {

std::string photo(int i) { return "Photo " + std::to_string(i) + ".jpg"; }

// Shows a fresh folder of n photos, every one selected, upper case chosen.
Folder showPhotos(nw::app::Form1& form, int n) {
    Folder made = makeNamedFolder(n, photo);
    form.txtPath->setText(QString::fromStdString(made->path()));
    form.cmdGoPath_Click();
    form.SSTab1->setCurrentIndex(0);
    control<QRadioButton>(form, "Option1(0)")->setChecked(true);
    form.File1->selectAllEntries();
    QApplication::processEvents();
    return made;
}

bool allUpper(const std::string& folder, int n) {
    const std::set<std::string> names = namesIn(folder);
    const bool right = static_cast<int>(names.size()) == n && names.count("PHOTO0.JPG") == 1;
    if (!right)
        std::fprintf(stderr, "after the pass: %zu names, the first %s\n", names.size(),
                     names.empty() ? "" : names.begin()->c_str());
    return right;
}

} // namespace

void benchHistory(nw::FileSystem& fs, int files, int renames, const std::string& tableFile) {
    const Folder programFolder = programFolderWithTable(tableFile);
    QStringList messages;
    nw::app::setMessageHook([&](nw::app::MessageKind, const QString& t) { messages << t; });
    const std::string history = nw::historyFolder();
    bool right = true;

    // Command1 keeping its record against the same pass kept in memory only
    // (as every pass was before the history).
    std::vector<double> recordRatios;
    nw::app::Form1 first(fs, programFolder->path());
    first.show();
    QApplication::processEvents();
    for (int round = 0; round < kRuns; ++round) {
        nw::app::Form1& form = first;
        double with = 0, without = 0;
        for (bool keep : {false, true}) {
            const Folder made = showPhotos(form, renames);
            form.passRunner->setHistoryFolder(keep ? history : std::string());
            (keep ? with : without) = seconds([&] {
                control<QPushButton>(form, "Command1")->click();
                QApplication::processEvents();
            });
            right = right && allUpper(made->path(), renames) && messages.isEmpty();
        }
        recordRatios.push_back(with / without);
    }
    report("Command1 over " + std::to_string(renames) + " files keeping its record / keeping none",
           "in-process click", recordRatios, "<= 1.05");

    // The longest the event loop waits while undo walks a big folder.
    nw::app::Form1 form(fs, programFolder->path());
    form.show();
    QApplication::processEvents();
    std::vector<double> gaps;
    for (int round = 0; round < kRuns; ++round) {
        const Folder made = showPhotos(form, files);
        control<QPushButton>(form, "Command1")->click();
        QApplication::processEvents();
        right = right && allUpper(made->path(), files);
        const qint64 longest = longestGapMs([&] {
            QApplication::processEvents();
            form.passRunner->undo();
            QApplication::processEvents();
        });
        const std::set<std::string> after = namesIn(made->path());
        if (after.count("Photo 0.jpg") != 1 || static_cast<int>(after.size()) != files) {
            std::fprintf(stderr, "undo left %zu names\n", after.size());
            right = false;
        }
        gaps.push_back(static_cast<double>(longest) / 100.0);
    }
    report("longest event-loop gap during undo of " + std::to_string(files) + " files / 100 ms",
           "in-process call", gaps, "<= 1");

    // "改名历史…" opening over 50 records of 20,000 renames each, against
    // reading one of those records.
    std::filesystem::remove_all(history);
    std::vector<nw::HistoryRename> renamesKept;
    for (int i = 0; i < 20000; ++i)
        renamesKept.push_back({photo(i),
                               "PHOTO " + std::to_string(i) + ".JPG",
                               nw::FileId{1, static_cast<std::uint64_t>(i)},
                               nw::FileStamp{0, 0},
                               {}});
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    std::string one;
    for (int i = 0; i < 50; ++i) {
        nw::HistoryRecord r;
        r.time = now - 50 + i;
        r.folder = "/home/user/照片/" + std::to_string(i);
        r.tool = "大写";
        r.renames = renamesKept;
        const bool saved = nw::saveHistoryRecord(history, r, now).ok();
        right = right && saved;
        one = r.name;
    }
    std::vector<double> listRatios;
    for (int round = 0; round < kRuns; ++round) {
        std::size_t read = 0;
        const double record = seconds([&] {
            read = nw::readHistoryFile(history, one).value_or(nw::HistoryRecord{}).renames.size();
        });
        int listed = 0;
        const double open = seconds([&] {
            form.File1Menu->mnuHistory_Click();
            QApplication::processEvents();
            listed = form.findChild<nw::app::HistoryWindow*>()->lstPasses->count();
        });
        delete form.findChild<nw::app::HistoryWindow*>();
        right = right && read == 20000 && listed == 50;
        listRatios.push_back(open / record);
    }
    // Reading every record whole would cost 50; the list reads their headers.
    report("改名历史 opening, 50 records of 20000 files / reading one record", "in-process call",
           listRatios, "< 5");
    std::filesystem::remove_all(history);
    for (const QString& m : messages)
        std::fprintf(stderr, "message: %s\n", qPrintable(m));
    if (!right || !messages.isEmpty())
        g_failed = true;
    nw::app::setMessageHook(nullptr);
}

} // namespace nw::bench
