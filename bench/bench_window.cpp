// The whole window: peak memory, Enter in the path box, start-up against a
// minimal Qt window, building it in a busy folder, and the program end to end
// against Debian's rename (Perl).
#include "bench/bench.h"

namespace nw::bench {
namespace {

double runProgram(const char* path) {
    return seconds([&] {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::execl(path, path, static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "%s ended with status %d\n", path, status);
            g_failed = true;
        }
    });
}

} // namespace

// Building the window while the working folder holds many files, against an
// empty working folder: the window reads no folder it does not show.
void benchBuildInBusyFolder(int files, const std::string& tableFile) {
    const Folder busyFolder =
        makeNamedFolder(files, [](int i) { return "file " + std::to_string(i) + ".txt"; });
    const std::string& busy = busyFolder->path();
    const nw::test::TempFolder emptyFolder;
    const std::string& empty = emptyFolder.path();
    const Folder programFolder = programFolderWithTable(tableFile);
    const std::string& program = programFolder->path();
    const std::string before = nw::workingFolder();
    nw::PosixFileSystem fs;
    auto build = [&](const std::string& cwd) {
        if (::chdir(cwd.c_str()) != 0)
            std::exit(2);
        return seconds([&] { nw::app::Form1 form(fs, program); });
    };
    std::vector<double> ratios;
    for (int i = 0; i < (kRuns == 1 ? 1 : 5); ++i) {
        const double inEmpty = build(empty);
        ratios.push_back(build(busy) / inEmpty);
    }
    if (::chdir(before.c_str()) != 0)
        std::exit(2);
    const std::string what =
        "window built, " + std::to_string(files) + " files in the working folder / none";
    report(what, "in-process call", ratios, "<= 1.2");
}

// From the start of the process to its first painted window, ten times, the
// two programs taking turns, on the given Qt platform plugin, started from a
// working folder that holds many files (the window never reads it).
void benchStartUp(const char* platform, const char* how, const std::string& workingFolder) {
    ::setenv("QT_QPA_PLATFORM", platform, 1);
    const std::string before = nw::workingFolder();
    if (::chdir(workingFolder.c_str()) != 0)
        std::exit(2);
    std::vector<double> ratios, linked;
    for (int i = 0; i < (kRuns == 1 ? 1 : 10); ++i) {
        const double minimal = runProgram(NW_BENCH_MINIMAL);
        ratios.push_back(runProgram(NW_BENCH_APP) / minimal);
        linked.push_back(runProgram(NW_BENCH_MINIMAL_OPENCC) / minimal);
    }
    if (::chdir(before.c_str()) != 0)
        std::exit(2);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    report("start to shown window / minimal Qt window", how, ratios, "<= 1.5");
    // What linking OpenCC adds to a start (its data is read on first use).
    report("minimal Qt window linking OpenCC / without", how, linked, "<= 1.05");
}

// The child's side: the whole window, then the folder opened in it; with
// "pass", every file then upper-cased by Command1 (as the end-to-end row does,
// which times this child from its start to its end).
int windowChild(const std::string& what, const std::string& folder, const std::string& tableFile) {
    int argc = 1;
    char name[] = "namewright";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    const Folder programFolder = programFolderWithTable(tableFile);
    const std::string& program = programFolder->path();
    nw::PosixFileSystem fs;
    nw::app::Form1 form(fs, program);
    form.show();
    QApplication::processEvents();
    if (what == "tree") // the folder and every folder below, folders included
        form.File1->setTreeOptions({true, true});
    form.txtPath->setText(QString::fromStdString(folder));
    form.cmdGoPath_Click();
    QApplication::processEvents();
    if (what != "shown" && what != "tree") {
        nw::app::setMessageHook([](nw::app::MessageKind, const QString& t) {
            std::fprintf(stderr, "message: %s\n", qPrintable(t));
            std::exit(4);
        });
        form.File1->selectAllEntries();
        if (what == "phrase") {
            // The default standard, its data read by this first click.
            form.SSTab1->setCurrentIndex(2);
            control<QPushButton>(form, "cmdJ2F")->click();
        } else {
            form.SSTab1->setCurrentIndex(0);
            control<QRadioButton>(form, "Option1(0)")->setChecked(true);
            control<QRadioButton>(form, "Option2(1)")->setChecked(true);
            control<QPushButton>(form, "Command1")->click();
        }
        QApplication::processEvents();
    }
    // The peak of this program's own memory (VmHWM): getrusage's maxrss would
    // also count the benchmark's pages this child had before its exec.
    long kib = 0;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            kib = std::atol(line.c_str() + 6);
    std::printf("%ld %d\n", kib, form.File1->ListCount());
    return 0;
}

double peakMiB(const char* self, const std::string& what, const std::string& folder,
               const std::string& tableFile, int expectCount) {
    std::string out;
    runChild({self, "--window", what, folder, tableFile}, {}, {}, &out);
    long kib = 0;
    int count = -1;
    if (std::sscanf(out.c_str(), "%ld %d", &kib, &count) != 2 || count != expectCount) {
        std::fprintf(stderr, "window child listed %d entries, expected %d\n", count, expectCount);
        g_failed = true;
    }
    return static_cast<double>(kib) / 1024.0;
}

// Peak memory of the whole program with the big folder shown, and after a
// pass over all of it, against the program showing an empty folder.
void benchMemory(const char* self, const std::string& big, int files,
                 const std::string& tableFile) {
    const nw::test::TempFolder emptyFolder;
    const std::string& empty = emptyFolder.path();
    const Folder copyFolder =
        makeNamedFolder(files, [](int i) { return "Photo " + std::to_string(i) + ".JPG"; });
    const std::string& copy = copyFolder->path();
    std::vector<double> shown, passed, phrased;
    double base = 0, shownMiB = 0, passedMiB = 0, phraseMiB = 0;
    for (int i = 0; i < kRuns; ++i) {
        base = peakMiB(self, "shown", empty, tableFile, 0);
        shownMiB = peakMiB(self, "shown", big, tableFile, files);
        shown.push_back(shownMiB / base);
        // Upper case twice over is no change: the copy serves every round.
        passedMiB = peakMiB(self, "pass", copy, tableFile, files);
        passed.push_back(passedMiB / base);
        // Simplified to Traditional by phrase, a fresh folder each round.
        const Folder chineseFolder = makeNamedFolder(files, simplifiedName);
        const std::string& chinese = chineseFolder->path();
        phraseMiB = peakMiB(self, "phrase", chinese, tableFile, files);
        phrased.push_back(phraseMiB / passedMiB);
    }
    char what[160];
    std::snprintf(what, sizeof what, "peak memory, %d files shown (%.1f MiB) / none (%.1f MiB)",
                  files, shownMiB, base);
    report(what, "child process", shown, "a figure");
    std::snprintf(what, sizeof what, "peak memory after a pass over them (%.1f MiB) / none",
                  passedMiB);
    report(what, "child process", passed, "a figure");
    std::snprintf(what, sizeof what,
                  "peak memory after cmdJ2F s2tw, OpenCC's first use (%.1f MiB) / the pass above",
                  phraseMiB);
    report(what, "child process", phrased, "a figure");
}

// Enter in the path box (what cmdGoPath_Click does) to a window that answers
// again with the folder listed, against readdir + stat of it; and the longest
// the event loop went without turning meanwhile, against the 100 ms a user
// would notice.
void benchEnter(nw::FileSystem& fs, const std::string& folder, int files,
                const std::string& tableFile) {
    const Folder programFolder = programFolderWithTable(tableFile);
    const std::string& program = programFolder->path();
    const nw::test::TempFolder emptyFolder;
    const std::string& empty = emptyFolder.path();
    nw::app::Form1 form(fs, program);
    form.show();
    QApplication::processEvents();
    std::vector<double> ratios, gaps;
    for (int i = 0; i < kRuns; ++i) {
        form.txtPath->setText(QString::fromStdString(empty));
        form.cmdGoPath_Click();
        const double raw = seconds([&] { rawListing(folder); });
        form.txtPath->setText(QString::fromStdString(folder));
        double t = 0;
        const qint64 longest = longestGapMs([&] {
            t = seconds([&] {
                form.cmdGoPath_Click();
                QApplication::processEvents();
            });
        });
        if (form.File1->ListCount() != files)
            g_failed = true;
        ratios.push_back(t / raw);
        gaps.push_back(static_cast<double>(longest) / 100.0);
    }
    const std::string n = std::to_string(files);
    report("Enter in the path box to an answering window, " + n + " files / readdir+stat",
           "in-process call", ratios, "a figure");
    report("longest event-loop gap meanwhile, " + n + " files / 100 ms", "in-process call", gaps,
           "<= 1");
}

// The whole program, from its start to its last rename (a child that builds
// the window, opens the folder, selects every file and clicks Command1 for
// upper case), against Debian's rename (Perl) making the same names, the file
// names given on its standard input, in the same run.
void benchEndToEnd(const char* self, int files, const std::string& tableFile) {
    if (::access("/usr/bin/rename", X_OK) != 0) {
        std::printf("%-62s %s\n", "end to end / Debian rename (Perl)", "rename not installed");
        return;
    }
    auto photo = [](int i) { return "Photo " + std::to_string(i) + ".JPG"; };
    std::vector<double> ratios;
    bool right = true;
    for (int i = 0; i < kRuns; ++i) {
        const Folder oursFolder = makeNamedFolder(files, photo);
        const std::string& ours = oursFolder->path();
        const Folder theirsFolder = makeNamedFolder(files, photo);
        const std::string& theirs = theirsFolder->path();
        const nw::test::TempFolder listFolder;
        const std::string list = listFolder.path() + "/names";
        {
            std::ofstream names(list);
            for (int k = 0; k < files; ++k)
                names << photo(k) << '\n';
        }
        const double perl = seconds([&] {
            if (runChild({"/usr/bin/rename", "s/ /_/g; $_ = uc"}, theirs, list) != 0)
                g_failed = true;
        });
        const double namewright = seconds([&] { peakMiB(self, "pass", ours, tableFile, files); });
        right = right && namesIn(ours) == namesIn(theirs) && namesIn(ours).count("PHOTO_0.JPG");
        ratios.push_back(namewright / perl);
    }
    if (!right)
        g_failed = true;
    report("end to end, launch to last rename, " + std::to_string(files) +
               " files / Debian rename (Perl)" + (right ? "" : " WRONG RESULT"),
           "child process, offscreen", ratios, "a peer");
}

} // namespace nw::bench
