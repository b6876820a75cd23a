// Measures the program against plain baselines in the same run and prints
// ratios: the file list against readdir + stat, selection against one
// listing, every apply button against a plain renameat2 loop, StrJ2F's index
// against the slot scan, start-up against a minimal Qt window; and the peak
// memory with the big folder shown.
#include "app/appearance.h"
#include "app/file_list_box.h"
#include "core/conv_table.h"
#include "core/convert_name.h"
#include "core/rename_pass.h"
#include "platform/name_codec.h"
#include "platform/places.h"
#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/fuse_image.h"
#include "tests/support/real_list.h"

#include "app/form1.h"
#include "app/pass_runner.h"
#include "app/preview_window.h"
#include "app/user_messages.h"
#include "core/custom_name.h"
#include "core/dry_run.h"
#include "core/extension.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Set when a measured program or a child did not do what it was asked.
bool g_failed = false;

template <typename F> double seconds(F f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Best of several runs, to keep scheduler noise out of the ratios.
template <typename F> double best(int runs, F f) {
    double b = 1e9;
    for (int i = 0; i < runs; ++i)
        b = std::min(b, seconds(f));
    return b;
}

std::size_t rawListing(const std::string& d) {
    DIR* dir = ::opendir(d.c_str());
    std::size_t n = 0;
    while (dirent* e = ::readdir(dir)) {
        struct stat st {};
        ::fstatat(::dirfd(dir), e->d_name, &st, 0);
        n += S_ISREG(st.st_mode) ? 1 : 0;
    }
    ::closedir(dir);
    return n;
}

void report(const char* what, double ratio, const char* goal) {
    std::printf("%-58s %8.2f   (goal %s)\n", what, ratio, goal);
}

std::string tempFolder(const char* kind) {
    std::string tmpl = std::string("/tmp/namewright-bench-") + kind + "-XXXXXX";
    if (!::mkdtemp(tmpl.data())) {
        std::perror("mkdtemp");
        std::exit(2);
    }
    return tmpl;
}

std::string makeNamedFolder(int files, const std::function<std::string(int)>& name) {
    const std::string d = tempFolder("files");
    for (int i = 0; i < files; ++i)
        ::close(::open((d + "/" + name(i)).c_str(), O_WRONLY | O_CREAT, 0644));
    return d;
}

// A program folder with the conversion table beside the (imagined) executable.
std::string programFolderWithTable(const std::string& tableFile) {
    const std::string program = tempFolder("program");
    std::ifstream in(tableFile, std::ios::binary);
    std::ofstream out(program + "/F2J.txt", std::ios::binary);
    out << in.rdbuf();
    return program;
}

std::set<std::string> namesIn(const std::string& d) {
    std::set<std::string> out;
    DIR* dir = ::opendir(d.c_str());
    while (dirent* e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            out.insert(e->d_name);
    ::closedir(dir);
    return out;
}

template <typename T> T* control(nw::app::Form1& form, const char* name) {
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(2);
    }
    return w;
}

struct ButtonCase {
    const char* button;
    int page;
    std::function<std::string(int)> name;                          // the files' names before
    std::function<void(nw::app::Form1&)> setUp;                    // the page's settings
    std::function<std::u32string(const std::u32string&)> expected; // in list order
};

// Times each apply button through the real window and checks that the folder
// then holds exactly the names the tool gives.
bool benchButtons(nw::FileSystem& fs, int renames, const std::string& tableFile) {
    using nw::app::Form1;
    const std::string program = programFolderWithTable(tableFile);
    QStringList messages;
    nw::app::setMessageHook([&](nw::app::MessageKind, const QString& t) { messages << t; });
    Form1 form(fs, program);
    form.show();
    QApplication::processEvents();

    auto photo = [](int i) { return "Photo " + std::to_string(i) + ".jpg"; };
    std::int16_t counter = 0;
    std::string folder;
    const std::vector<ButtonCase> cases{
        {"Command1", 0, photo,
         [](Form1& f) {
             control<QRadioButton>(f, "Option1(0)")->setChecked(true);
             control<QRadioButton>(f, "Option2(1)")->setChecked(true);
             control<QCheckBox>(f, "Check2(0)")->setChecked(true);
             control<QCheckBox>(f, "Check2(1)")->setChecked(true);
         },
         [](const std::u32string& n) {
             return nw::ConvertName(
                 n, {nw::CaseMode::Upper, true, true, nw::SpaceMode::SpaceToUnderscore});
         }},
        {"Command2", 1, photo,
         [&](Form1& f) {
             control<QLineEdit>(f, "Text1")->setText(QStringLiteral("Img"));
             control<QLineEdit>(f, "txtStep")->setText(QStringLiteral("1"));
             control<QRadioButton>(f, "Option3(0)")->setChecked(true);
             counter = 0;
         },
         [&](const std::u32string& n) {
             return *nw::BuildCustomName(n, {U"Img", U"1", nw::TextPlacement::ReplacePrefix},
                                         counter)
                         .name;
         }},
        {"cmdChangeExt", 2, photo,
         [](Form1& f) { control<QLineEdit>(f, "txtNewExt")->setText(QStringLiteral("png")); },
         [&](const std::u32string& n) {
             const std::u32string dir = nw::decodeName(folder) + U"/";
             return nw::ChangeFileExt(dir + n, U"png").substr(dir.size());
         }},
        {"cmdRemoveStr", 2, photo,
         [](Form1& f) { control<QLineEdit>(f, "txtRemoveStr")->setText(QStringLiteral("Photo ")); },
         [](const std::u32string& n) { return *nw::RemoveFirst(n, U"Photo "); }},
        {"cmdF2J", 2, [](int i) { return "中國發展報告 " + std::to_string(i) + ".txt"; },
         [](Form1&) {}, [&](const std::u32string& n) { return nw::StrF2J(form.table(), n); }},
        {"cmdJ2F", 2, [](int i) { return "中国发展报告 " + std::to_string(i) + ".txt"; },
         [](Form1&) {}, [&](const std::u32string& n) { return nw::StrJ2F(form.table(), n); }},
    };

    bool allRight = true;
    for (const ButtonCase& c : cases) {
        // Best of two rounds, each on fresh folders, to keep file-system
        // noise out of a ratio close to 1.
        double loop = 1e9, pass = 1e9;
        bool right = true;
        for (int round = 0; round < 2; ++round) {
            folder = makeNamedFolder(renames, c.name);
            const std::string baseline = makeNamedFolder(renames, c.name);
            form.txtPath->setText(QString::fromStdString(folder));
            form.cmdGoPath_Click();
            form.SSTab1->setCurrentIndex(c.page);
            c.setUp(form);
            std::vector<std::pair<std::string, std::string>> names;
            std::set<std::string> want;
            for (int i = 0; i < form.File1->ListCount(); ++i) {
                const std::u32string from = form.File1->List(i);
                names.emplace_back(nw::encodeName(from), nw::encodeName(c.expected(from)));
                want.insert(names.back().second);
                if (names.back().first == names.back().second)
                    right = false;
            }
            c.setUp(form); // the running number starts again for the real pass
            loop =
                std::min(loop, seconds([&] {
                             for (const auto& [from, to] : names)
                                 ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + from).c_str(),
                                           AT_FDCWD, (baseline + "/" + to).c_str(), 1);
                         }));
            form.File1->selectAllEntries();
            QApplication::processEvents();
            auto* button = control<QPushButton>(form, c.button);
            pass = std::min(pass, seconds([&] {
                                button->click();
                                QApplication::processEvents();
                            }));
            right = right && namesIn(folder) == want && messages.isEmpty() &&
                    static_cast<int>(want.size()) == renames;
            for (const QString& m : messages)
                std::fprintf(stderr, "message: %s\n", qPrintable(m));
            messages.clear();
            std::system(("rm -rf '" + folder + "' '" + baseline + "'").c_str());
        }
        allRight = allRight && right;
        const std::string what = std::string(c.button) + " over " + std::to_string(renames) +
                                 " files / renameat2 loop" + (right ? "" : " WRONG RESULT");
        report(what.c_str(), pass / loop, "<= 1.5");
    }

    // What the progress dialog costs: Command1 with the dialog up from the
    // first entry, against the same pass with no dialog at all.
    double with = 1e9, without = 1e9;
    for (int round = 0; round < 3; ++round)
        for (bool dialog : {false, true}) {
            folder = makeNamedFolder(renames, photo);
            form.txtPath->setText(QString::fromStdString(folder));
            form.cmdGoPath_Click();
            form.SSTab1->setCurrentIndex(0);
            cases[0].setUp(form);
            form.passRunner->setProgressTiming(dialog ? 0 : std::numeric_limits<int>::max(), 100);
            form.File1->selectAllEntries();
            QApplication::processEvents();
            const double t = seconds([&] {
                control<QPushButton>(form, "Command1")->click();
                QApplication::processEvents();
            });
            (dialog ? with : without) = std::min(dialog ? with : without, t);
            allRight = allRight && static_cast<int>(namesIn(folder).size()) == renames &&
                       messages.isEmpty() && namesIn(folder).count("PHOTO_0.JPG");
            messages.clear();
            std::system(("rm -rf '" + folder + "'").c_str());
        }
    form.passRunner->setProgressTiming(500, 100);
    report("Command1 with the progress dialog / without", with / without, "<= 1.05");

    // Undo of a Command1 pass against a renameat2 loop putting the same names
    // back.
    {
        double loop = 1e9, undo = 1e9;
        bool right = true;
        for (int round = 0; round < 2; ++round) {
            folder = makeNamedFolder(renames, photo);
            const std::string baseline = makeNamedFolder(renames, photo);
            form.txtPath->setText(QString::fromStdString(folder));
            form.cmdGoPath_Click();
            form.SSTab1->setCurrentIndex(0);
            cases[0].setUp(form);
            form.File1->selectAllEntries();
            control<QPushButton>(form, "Command1")->click();
            QApplication::processEvents();
            std::vector<std::pair<std::string, std::string>> names;
            for (int i = 0; i < renames; ++i)
                names.emplace_back(photo(i),
                                   nw::encodeName(cases[0].expected(nw::decodeName(photo(i)))));
            for (const auto& [from, to] : names)
                ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + from).c_str(), AT_FDCWD,
                          (baseline + "/" + to).c_str(), 1);
            loop = std::min(loop, seconds([&] {
                                for (auto it = names.rbegin(); it != names.rend(); ++it)
                                    ::syscall(SYS_renameat2, AT_FDCWD,
                                              (baseline + "/" + it->second).c_str(), AT_FDCWD,
                                              (baseline + "/" + it->first).c_str(), 1);
                            }));
            undo = std::min(undo, seconds([&] {
                                form.passRunner->undo();
                                QApplication::processEvents();
                            }));
            right = right && namesIn(folder) == namesIn(baseline) && messages.isEmpty();
            messages.clear();
            std::system(("rm -rf '" + folder + "' '" + baseline + "'").c_str());
        }
        allRight = allRight && right;
        report(right ? "undo of a Command1 pass / renameat2 loop" : "undo WRONG RESULT",
               undo / loop, "<= 1.5");
    }

    // A peer: Debian's rename (the Perl one) making Command1's names.
    if (::access("/usr/bin/rename", X_OK) == 0) {
        double loop = 1e9, perl = 1e9;
        bool right = true;
        for (int round = 0; round < 2; ++round) {
            folder = makeNamedFolder(renames, photo);
            const std::string baseline = makeNamedFolder(renames, photo);
            std::vector<std::string> from;
            std::set<std::string> want;
            for (int i = 0; i < renames; ++i) {
                from.push_back(photo(i));
                want.insert(nw::encodeName(cases[0].expected(nw::decodeName(from.back()))));
            }
            loop = std::min(loop, seconds([&] {
                                for (const std::string& f : from) {
                                    const std::string to =
                                        nw::encodeName(cases[0].expected(nw::decodeName(f)));
                                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + f).c_str(),
                                              AT_FDCWD, (baseline + "/" + to).c_str(), 1);
                                }
                            }));
            perl = std::min(perl, seconds([&] {
                                const pid_t pid = ::fork();
                                if (pid == 0) {
                                    if (::chdir(folder.c_str()) != 0)
                                        ::_exit(127);
                                    std::vector<char*> args{const_cast<char*>("rename"),
                                                            const_cast<char*>("s/ /_/g; $_ = uc")};
                                    for (std::string& f : from)
                                        args.push_back(f.data());
                                    args.push_back(nullptr);
                                    ::execv("/usr/bin/rename", args.data());
                                    ::_exit(127);
                                }
                                int status = 0;
                                ::waitpid(pid, &status, 0);
                            }));
            right = right && namesIn(folder) == want;
            std::system(("rm -rf '" + folder + "' '" + baseline + "'").c_str());
        }
        report(right ? "Debian rename (Perl), Command1's names / renameat2 loop"
                     : "Debian rename (Perl) WRONG RESULT",
               perl / loop, "a peer");
    } else {
        std::printf("%-58s %8s\n", "Debian rename (Perl)", "not installed");
    }
    nw::app::setMessageHook(nullptr);
    std::system(("rm -rf '" + program + "'").c_str());
    return allRight;
}

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

// A pass on an exFAT drive through FUSE, where renames take more than one step
// and the pass is journalled (a dry run for the plan, the plan written and
// flushed, a mark per rename), against the same pass without the journal.
void benchJournalOnFuse(int files) {
    if (const std::string why = nw::test::FuseImage::unavailable(); !why.empty()) {
        std::printf("%-58s %8s   (%s)\n", "exFAT pass, journalled / not", "skipped", why.c_str());
        return;
    }
    nw::test::TempFolder mount, journals;
    nw::test::FuseImage::Seed seed{"many", {}};
    for (int i = 0; i < files; ++i)
        seed.files["file " + std::to_string(i) + ".txt"] = "x";
    // exFAT gives each file a cluster of its own.
    const std::string size = std::to_string(24 + files / 128) + "M";
    nw::test::FuseImage image(nw::test::FuseImage::Kind::ExFat, mount.path(), seed, size);
    if (!image.mounted()) {
        std::fprintf(stderr, "%s\n", image.failure().c_str());
        g_failed = true;
        return;
    }
    const std::string folder = mount.path() + "/many";
    nw::PosixFileSystem fs;
    fs.setJournalFolder(journals.path());
    auto pass = [&](const std::u32string& ext, bool journal) {
        nw::test::RealList list(fs, folder);
        list.selectAll();
        auto make = [&](nw::FileSystem&) {
            nw::RenameTool t;
            t.transform = [&](int, const std::u32string& n) {
                return nw::TransformResult::of(nw::ChangeFileExt(n, ext));
            };
            return t;
        };
        nw::PassResult r;
        const double s = seconds([&] {
            r = journal ? nw::RunPlannedPass(list, fs, make(fs), make)
                        : nw::RunRenamePass(list, fs, make(fs));
        });
        if (r.failure || r.renamed != files) {
            std::fprintf(stderr, "exFAT pass renamed %d of %d\n", r.renamed, files);
            g_failed = true;
        }
        return s;
    };
    // Each way round in turn: a pass on a folder that the pass before has
    // just churned is slower, whichever it is.
    double with = 1e9, without = 1e9;
    for (int round = 0; round < 4; ++round) {
        const bool first = round % 2 == 0;
        const double a = pass(U"bak", first), b = pass(U"txt", !first);
        with = std::min(with, first ? a : b);
        without = std::min(without, first ? b : a);
    }
    const std::string what =
        "exFAT (FUSE) pass over " + std::to_string(files) + " files, journalled / not";
    report(what.c_str(), with / without, "<= 1.05");
}

// Building the window while the working folder holds many files, against an
// empty working folder: the window reads no folder it does not show.
void benchBuildInBusyFolder(int files, const std::string& tableFile) {
    const std::string busy =
        makeNamedFolder(files, [](int i) { return "file " + std::to_string(i) + ".txt"; });
    const std::string empty = tempFolder("empty");
    const std::string program = programFolderWithTable(tableFile);
    const std::string before = nw::workingFolder();
    nw::PosixFileSystem fs;
    auto build = [&](const std::string& cwd) {
        if (::chdir(cwd.c_str()) != 0)
            std::exit(2);
        return seconds([&] { nw::app::Form1 form(fs, program); });
    };
    double inBusy = 1e9, inEmpty = 1e9;
    for (int i = 0; i < 5; ++i) {
        inEmpty = std::min(inEmpty, build(empty));
        inBusy = std::min(inBusy, build(busy));
    }
    if (::chdir(before.c_str()) != 0)
        std::exit(2);
    std::system(("rm -rf '" + busy + "' '" + empty + "' '" + program + "'").c_str());
    const std::string what =
        "window built, " + std::to_string(files) + " files in the working folder / none";
    report(what.c_str(), inBusy / inEmpty, "<= 1.2");
}

// From the start of the process to its first painted window, best of five,
// the two programs taking turns, on the given Qt platform plugin.
void benchStartUp(const char* platform, const char* label) {
    ::setenv("QT_QPA_PLATFORM", platform, 1);
    double app = 1e9, minimal = 1e9;
    for (int i = 0; i < 5; ++i) {
        minimal = std::min(minimal, runProgram(NW_BENCH_MINIMAL));
        app = std::min(app, runProgram(NW_BENCH_APP));
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string what =
        std::string("start to shown window / minimal Qt window (") + label + ")";
    report(what.c_str(), app / minimal, "<= 1.5");
}

// The child's side: the whole window, then the folder opened in it.
int memoryChild(const std::string& folder, const std::string& tableFile) {
    int argc = 1;
    char name[] = "namewright";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    const std::string program = programFolderWithTable(tableFile);
    nw::PosixFileSystem fs;
    nw::app::Form1 form(fs, program);
    form.show();
    QApplication::processEvents();
    form.txtPath->setText(QString::fromStdString(folder));
    form.cmdGoPath_Click();
    QApplication::processEvents();
    std::system(("rm -rf '" + program + "'").c_str());
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("%ld %d\n", ru.ru_maxrss, form.File1->ListCount());
    return 0;
}

double peakMiB(const char* self, const std::string& folder, const std::string& tableFile,
               int expectCount) {
    const std::string cmd =
        "'" + std::string(self) + "' --memory '" + folder + "' '" + tableFile + "'";
    FILE* p = ::popen(cmd.c_str(), "r");
    long kib = 0;
    int count = -1;
    if (!p || std::fscanf(p, "%ld %d", &kib, &count) != 2 || count != expectCount) {
        std::fprintf(stderr, "memory child listed %d entries, expected %d\n", count, expectCount);
        g_failed = true;
    }
    if (p)
        ::pclose(p);
    return static_cast<double>(kib) / 1024.0;
}

void benchMemory(const char* self, const std::string& big, int files,
                 const std::string& tableFile) {
    const std::string empty = tempFolder("empty");
    const double base = peakMiB(self, empty, tableFile, 0);
    const double shown = peakMiB(self, big, tableFile, files);
    ::rmdir(empty.c_str());
    std::printf("%-58s %8.1f MiB (an empty folder: %.1f MiB, ratio %.2f)\n",
                "peak memory, the big folder shown", shown, base, shown / base);
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc == 4 && std::string(argv[1]) == "--memory")
        return memoryChild(argv[2], argv[3]);
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int renames = argc > 2 ? std::atoi(argv[2]) : 20000;
    std::printf("Namewright benchmark: %d files listed, %d renamed\n\n", files, renames);
    std::printf("%-58s %8s\n", "measure", "ratio");

    nw::PosixFileSystem fs;
    const std::string big =
        makeNamedFolder(files, [](int i) { return "Photo " + std::to_string(i) + ".JPG"; });
    nw::app::FileListBox list(fs);
    list.resize(201, 270);
    list.show();
    const double raw = best(3, [&] { rawListing(big); });
    const double shown = best(3, [&] {
        list.setPath(big);
        QApplication::processEvents();
    });
    report("File1 showing the folder / readdir+stat", shown / raw, "<= 3");
    report("select all / one listing",
           best(3,
                [&] {
                    list.selectAllEntries();
                    list.Selected(0);
                }) /
               raw,
           "< 1");
    report("clear all / one listing",
           best(3,
                [&] {
                    list.clearAllEntries();
                    list.Selected(0);
                }) /
               raw,
           "< 1");
    // Every other entry, the worst case for a selection kept as ranges.
    QItemSelection scattered;
    for (int i = 0; i < files; i += 2)
        scattered.append(QItemSelectionRange(list.model()->index(i, 0)));
    list.selectionModel()->select(scattered, QItemSelectionModel::ClearAndSelect);
    report("invert / one listing",
           best(3,
                [&] {
                    list.invertEntries();
                    list.Selected(0);
                }) /
               raw,
           "< 1");
    // The preview of every entry selected: the dry run of Command1's tool and
    // the table's model over it.
    list.selectAllEntries();
    nw::app::PreviewModel previewModel;
    const double preview = best(3, [&] {
        previewModel.setPreview(nw::DryRun(list, fs, [](nw::FileSystem&) {
            nw::RenameTool t;
            t.transform = [](int, const std::u32string& n) {
                return nw::TransformResult::of(nw::ConvertName(
                    n, {nw::CaseMode::Upper, true, true, nw::SpaceMode::SpaceToUnderscore}));
            };
            return t;
        }));
    });
    if (previewModel.rowCount() != files)
        g_failed = true;
    report("preview of every entry / one listing", preview / raw, "< 1");
    report("preview of every entry / File1 showing the folder", preview / shown, "< 1");
    const std::string tableFile = argc > 3 ? argv[3] : "data/F2J.txt";
    benchMemory(argv[0], big, files, tableFile);
    std::system(("rm -rf '" + big + "'").c_str());

    // Every apply button over `renames` selected files against a plain
    // renameat2 loop over the same old and new names, each on a fresh folder.
    if (!benchButtons(fs, renames, tableFile))
        return 1;

    // StrJ2F on Chinese names, index against scan.
    std::ifstream t(tableFile, std::ios::binary);
    const nw::ConvTable table(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(t), {}));
    std::vector<std::u32string> chinese;
    for (int i = 0; i < 10000; ++i)
        chinese.push_back(std::u32string(U"中国发展报告") +
                          char32_t(U'一' + static_cast<unsigned>(i % 500)) + U".txt");
    std::size_t sink = 0;
    const double scan = seconds([&] {
        for (const auto& n : chinese)
            sink += nw::StrJ2FByScan(table, n).size();
    });
    const double index = best(3, [&] {
        for (const auto& n : chinese)
            sink += nw::StrJ2F(table, n).size();
    });
    report("StrJ2F scan / StrJ2F index (speed-up)", scan / index, "> 1");

    benchBuildInBusyFolder(files / 2, tableFile);
    benchJournalOnFuse(renames);
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        benchStartUp("xcb", "X server");
    benchStartUp("offscreen", "offscreen");
    return sink == 0 || g_failed ? 1 : 0;
}
