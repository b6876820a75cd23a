// Measures the program against plain baselines in the same run and prints
// ratios, each the median of at least three runs with their spread, and how
// it was driven: the file list against readdir + stat, selection against one
// listing, every apply button against a plain renameat2 loop, the window
// answering while a big folder is read, StrJ2F's index against the slot scan,
// start-up against a minimal Qt window, the whole program end to end against
// Perl's rename, and the peak memory with the big folder shown and after a
// pass over it. Every goal missed is listed at the end, and the exit status
// says so (NAMEWRIGHT_BENCH_RESULTS_ONLY=1: only wrong results fail).
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
#include "app/other_page.h"
#include "app/pass_runner.h"
#include "app/preview_window.h"
#include "app/user_messages.h"
#include "core/custom_name.h"
#include "core/dry_run.h"
#include "core/extension.h"
#include "core/find_replace.h"
#include "platform/name_regex.h"
#include "platform/phrase_converter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
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

// Paired runs: each ratio is taken from a run of the measure and a run of its
// baseline made side by side. One where only the results are checked.
int kRuns = 3;

bool resultsOnly() {
    const char* v = std::getenv("NAMEWRIGHT_BENCH_RESULTS_ONLY");
    return v && std::string(v) == "1";
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n == 0 ? 0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Whether a ratio meets a goal written as "<= 1.5", "< 1" or "> 1"; any other
// goal ("a peer") is no goal.
bool meets(double r, const std::string& goal) {
    double limit = 0;
    if (std::sscanf(goal.c_str(), "<= %lf", &limit) == 1)
        return r <= limit;
    if (std::sscanf(goal.c_str(), "< %lf", &limit) == 1)
        return r < limit;
    if (std::sscanf(goal.c_str(), "> %lf", &limit) == 1)
        return r > limit;
    return true;
}

std::vector<std::string> g_missed;

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

// One row: the median ratio, the spread of the runs, how it was driven.
void report(const std::string& what, const char* how, const std::vector<double>& ratios,
            const char* goal) {
    const double m = median(ratios);
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    const bool met = meets(m, goal);
    std::printf("%-72s %-25s %6.2f  %4.2f-%-5.2f %-9s %s\n", what.c_str(), how, m,
                ratios.empty() ? 0 : *lo, ratios.empty() ? 0 : *hi, goal, met ? "" : "MISSED");
    std::fflush(stdout);
    if (!met)
        g_missed.push_back(what + ": " + std::to_string(m) + ", goal " + goal);
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
    std::string label = button;                                    // as the table shows it
    const char* goal = "<= 1.5";
};

// The names of one group of tests/data/chinese_names.txt (names from real
// text) that the converter changes, each numbered before its extension.
std::function<std::string(int)> realNames(const std::string& group,
                                          const nw::PhraseConverter& converter) {
    std::ifstream in(NW_BENCH_NAMES);
    std::vector<std::pair<std::string, std::string>> stems; // before the extension, the rest
    std::string current;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        if (current != group || converter.convert(nw::decodeName(line)) == nw::decodeName(line))
            continue;
        const std::size_t dot = line.rfind('.');
        const std::size_t cut = dot == std::string::npos || dot == 0 ? line.size() : dot;
        stems.emplace_back(line.substr(0, cut), line.substr(cut));
    }
    return [stems](int i) {
        const auto& [stem, ext] = stems[std::size_t(i) % stems.size()];
        return stem + " " + std::to_string(i) + ext;
    };
}

// Chinese file names of a few kinds, numbered: each needs converting.
std::string simplifiedName(int i) {
    static const char* const stems[] = {"头发护理", "签证申请表", "关系图",   "周报模板",
                                        "更新日志", "制作流程",   "面包做法", "钟表维修"};
    static const char* const exts[] = {".txt", ".pdf", ".png", ".docx"};
    return std::string(stems[i % 8]) + " " + std::to_string(i) + exts[i % 4];
}

// The standards of cboStandard by index, as the page lists them.
void chooseStandard(nw::app::Form1& f, int index) {
    control<QComboBox>(f, "cboStandard")->setCurrentIndex(index);
}

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
    std::vector<ButtonCase> cases{
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
         [](Form1& f) { chooseStandard(f, 4); },
         [&](const std::u32string& n) { return nw::StrF2J(form.table(), n); }, "cmdF2J table"},
        {"cmdJ2F", 2, [](int i) { return "中国发展报告 " + std::to_string(i) + ".txt"; },
         [](Form1& f) { chooseStandard(f, 4); },
         [&](const std::u32string& n) { return nw::StrJ2F(form.table(), n); }, "cmdJ2F table"},
    };
    // Find and replace, a regular expression with a group; the names expected
    // are made by the core function with a pattern compiled here.
    {
        auto compiled = nw::NameRegex::compile(U"Photo (\\d+)", true);
        const auto regex = std::get<std::shared_ptr<const nw::NameRegex>>(compiled);
        ButtonCase c{
            "cmdReplace", 3, photo,
            [](Form1& f) {
                control<QLineEdit>(f, "txtFind")->setText(QStringLiteral("Photo (\\d+)"));
                control<QLineEdit>(f, "txtReplace")->setText(QStringLiteral("Img_$1"));
                control<QCheckBox>(f, "chkMatchCase")->setChecked(true);
                control<QCheckBox>(f, "chkRegex")->setChecked(true);
            },
            [regex](const std::u32string& n) {
                nw::FindReplaceSettings s{U"Photo (\\d+)", U"Img_$1", true, true, true, true, true};
                return nw::ReplaceInName(n, s, nw::regexReplace(regex, U"Img_$1", true)).name;
            }};
        cases.push_back(c);
    }
    // Each OpenCC standard both ways; the result expected is the converter's
    // own (its answers are tested against the opencc command elsewhere).
    const auto& standards = nw::app::OtherPage::standards();
    for (int s = 0; s < 4; ++s)
        for (bool toSimplified : {false, true}) {
            const auto& st = standards[std::size_t(s)];
            const char* config = toSimplified ? st.toSimplified : st.toTraditional;
            nw::PhraseLoadError error;
            const auto converter = form.phraseConverters().get(
                config,
                toSimplified ? nw::ChineseScript::Simplified : nw::ChineseScript::Traditional,
                error, st.vocabulary && !toSimplified ? st.toSimplified : "");
            if (!converter) {
                std::fprintf(stderr, "OpenCC: %s is missing\n", error.path.c_str());
                return false;
            }
            ButtonCase c{toSimplified ? "cmdF2J" : "cmdJ2F", 2,
                         realNames(toSimplified ? "traditional" : "simplified", *converter),
                         [s](Form1& f) { chooseStandard(f, s); },
                         [converter](const std::u32string& n) { return converter->convert(n); }};
            c.label = std::string(c.button) + " " + config;
            c.label.erase(c.label.size() - 5); // ".json"
            c.goal = "<= 1.7";
            cases.push_back(c);
        }

    bool allRight = true;
    for (const ButtonCase& c : cases) {
        // Each round on fresh folders.
        std::vector<double> ratios;
        bool right = true;
        for (int round = 0; round < kRuns; ++round) {
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
            const double loop = seconds([&] {
                for (const auto& [from, to] : names)
                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + from).c_str(), AT_FDCWD,
                              (baseline + "/" + to).c_str(), 1);
            });
            form.File1->selectAllEntries();
            QApplication::processEvents();
            auto* button = control<QPushButton>(form, c.button);
            ratios.push_back(seconds([&] {
                                 button->click();
                                 QApplication::processEvents();
                             }) /
                             loop);
            right = right && namesIn(folder) == want && messages.isEmpty() &&
                    static_cast<int>(want.size()) == renames;
            for (const QString& m : messages)
                std::fprintf(stderr, "message: %s\n", qPrintable(m));
            messages.clear();
            std::system(("rm -rf '" + folder + "' '" + baseline + "'").c_str());
        }
        allRight = allRight && right;
        const std::string what = c.label + " over " + std::to_string(renames) +
                                 " files / renameat2 loop" + (right ? "" : " WRONG RESULT");
        report(what, "in-process click", ratios, c.goal);
    }

    // What the progress dialog costs: Command1 with the dialog up from the
    // first entry, against the same pass with no dialog at all.
    std::vector<double> dialogRatios;
    for (int round = 0; round < kRuns; ++round) {
        double with = 0, without = 0;
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
            (dialog ? with : without) = t;
            allRight = allRight && static_cast<int>(namesIn(folder).size()) == renames &&
                       messages.isEmpty() && namesIn(folder).count("PHOTO_0.JPG");
            messages.clear();
            std::system(("rm -rf '" + folder + "'").c_str());
        }
        dialogRatios.push_back(with / without);
    }
    form.passRunner->setProgressTiming(500, 100);
    report("Command1 with the progress dialog / without", "in-process click", dialogRatios,
           "<= 1.05");

    // Undo of a Command1 pass against a renameat2 loop putting the same names
    // back.
    {
        std::vector<double> ratios;
        bool right = true;
        for (int round = 0; round < kRuns; ++round) {
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
            const double loop = seconds([&] {
                for (auto it = names.rbegin(); it != names.rend(); ++it)
                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + it->second).c_str(),
                              AT_FDCWD, (baseline + "/" + it->first).c_str(), 1);
            });
            ratios.push_back(seconds([&] {
                                 form.passRunner->undo();
                                 QApplication::processEvents();
                             }) /
                             loop);
            right = right && namesIn(folder) == namesIn(baseline) && messages.isEmpty();
            messages.clear();
            std::system(("rm -rf '" + folder + "' '" + baseline + "'").c_str());
        }
        allRight = allRight && right;
        report(right ? "undo of a Command1 pass / renameat2 loop" : "undo WRONG RESULT",
               "in-process call", ratios, "<= 1.5");
    }

    // A peer: Debian's rename (the Perl one) making the same names as a
    // button, from the same names.
    auto perlPeer = [&](const ButtonCase& c, const char* expression, const std::string& what) {
        if (::access("/usr/bin/rename", X_OK) != 0) {
            std::printf("%-58s %8s\n", "Debian rename (Perl)", "not installed");
            return;
        }
        std::vector<double> ratios;
        bool right = true;
        for (int round = 0; round < kRuns; ++round) {
            folder = makeNamedFolder(renames, c.name);
            const std::string baseline = makeNamedFolder(renames, c.name);
            std::vector<std::string> from;
            std::set<std::string> want;
            for (int i = 0; i < renames; ++i) {
                from.push_back(c.name(i));
                want.insert(nw::encodeName(c.expected(nw::decodeName(from.back()))));
            }
            const double loop = seconds([&] {
                for (const std::string& f : from) {
                    const std::string to = nw::encodeName(c.expected(nw::decodeName(f)));
                    ::syscall(SYS_renameat2, AT_FDCWD, (baseline + "/" + f).c_str(), AT_FDCWD,
                              (baseline + "/" + to).c_str(), 1);
                }
            });
            ratios.push_back(seconds([&] {
                                 const pid_t pid = ::fork();
                                 if (pid == 0) {
                                     if (::chdir(folder.c_str()) != 0)
                                         ::_exit(127);
                                     std::vector<char*> args{const_cast<char*>("rename"),
                                                             const_cast<char*>(expression)};
                                     for (std::string& f : from)
                                         args.push_back(f.data());
                                     args.push_back(nullptr);
                                     ::execv("/usr/bin/rename", args.data());
                                     ::_exit(127);
                                 }
                                 int status = 0;
                                 ::waitpid(pid, &status, 0);
                             }) /
                             loop);
            right = right && namesIn(folder) == want;
            std::system(("rm -rf '" + folder + "' '" + baseline + "'").c_str());
        }
        report(right ? "Debian rename (Perl), " + what + " / renameat2 loop"
                     : "Debian rename (Perl) WRONG RESULT",
               "child process", ratios, "a peer");
    };
    perlPeer(cases[0], "s/ /_/g; $_ = uc", "Command1's names");
    for (const ButtonCase& c : cases)
        if (std::string(c.button) == "cmdReplace")
            perlPeer(c, "s/Photo (\\d+)/Img_$1/", "cmdReplace's substitution");
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
    std::vector<double> ratios;
    for (int round = 0; round < 2 * kRuns; ++round) {
        const bool first = round % 2 == 0;
        const double a = pass(U"bak", first), b = pass(U"txt", !first);
        ratios.push_back(first ? a / b : b / a);
    }
    const std::string what =
        "exFAT (FUSE) pass over " + std::to_string(files) + " files, journalled / not";
    report(what, "in-process call", ratios, "<= 1.05");
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
    std::vector<double> ratios;
    for (int i = 0; i < (kRuns == 1 ? 1 : 5); ++i) {
        const double inEmpty = build(empty);
        ratios.push_back(build(busy) / inEmpty);
    }
    if (::chdir(before.c_str()) != 0)
        std::exit(2);
    std::system(("rm -rf '" + busy + "' '" + empty + "' '" + program + "'").c_str());
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
    const std::string program = programFolderWithTable(tableFile);
    nw::PosixFileSystem fs;
    nw::app::Form1 form(fs, program);
    form.show();
    QApplication::processEvents();
    form.txtPath->setText(QString::fromStdString(folder));
    form.cmdGoPath_Click();
    QApplication::processEvents();
    if (what != "shown") {
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
    std::system(("rm -rf '" + program + "'").c_str());
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("%ld %d\n", ru.ru_maxrss, form.File1->ListCount());
    return 0;
}

double peakMiB(const char* self, const std::string& what, const std::string& folder,
               const std::string& tableFile, int expectCount) {
    const std::string cmd =
        "'" + std::string(self) + "' --window " + what + " '" + folder + "' '" + tableFile + "'";
    FILE* p = ::popen(cmd.c_str(), "r");
    long kib = 0;
    int count = -1;
    if (!p || std::fscanf(p, "%ld %d", &kib, &count) != 2 || count != expectCount) {
        std::fprintf(stderr, "window child listed %d entries, expected %d\n", count, expectCount);
        g_failed = true;
    }
    if (p)
        ::pclose(p);
    return static_cast<double>(kib) / 1024.0;
}

// Peak memory of the whole program with the big folder shown, and after a
// pass over all of it, against the program showing an empty folder.
void benchMemory(const char* self, const std::string& big, int files,
                 const std::string& tableFile) {
    const std::string empty = tempFolder("empty");
    const std::string copy =
        makeNamedFolder(files, [](int i) { return "Photo " + std::to_string(i) + ".JPG"; });
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
        const std::string chinese = makeNamedFolder(files, simplifiedName);
        phraseMiB = peakMiB(self, "phrase", chinese, tableFile, files);
        phrased.push_back(phraseMiB / passedMiB);
        std::system(("rm -rf '" + chinese + "'").c_str());
    }
    ::rmdir(empty.c_str());
    std::system(("rm -rf '" + copy + "'").c_str());
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
    const std::string program = programFolderWithTable(tableFile);
    const std::string empty = tempFolder("empty");
    nw::app::Form1 form(fs, program);
    form.show();
    QApplication::processEvents();
    std::vector<double> ratios, gaps;
    for (int i = 0; i < kRuns; ++i) {
        form.txtPath->setText(QString::fromStdString(empty));
        form.cmdGoPath_Click();
        const double raw = seconds([&] { rawListing(folder); });
        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start();
        form.txtPath->setText(QString::fromStdString(folder));
        const double t = seconds([&] {
            form.cmdGoPath_Click();
            QApplication::processEvents();
        });
        QApplication::processEvents();
        longest = std::max(longest, clock.elapsed() - last);
        tick.stop();
        if (form.File1->ListCount() != files)
            g_failed = true;
        ratios.push_back(t / raw);
        gaps.push_back(static_cast<double>(longest) / 100.0);
    }
    ::rmdir(empty.c_str());
    std::system(("rm -rf '" + program + "'").c_str());
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
        const std::string ours = makeNamedFolder(files, photo);
        const std::string theirs = makeNamedFolder(files, photo);
        const std::string list = theirs + ".names";
        {
            std::ofstream names(list);
            for (int k = 0; k < files; ++k)
                names << photo(k) << '\n';
        }
        const double perl = seconds([&] {
            const std::string cmd =
                "cd '" + theirs + "' && /usr/bin/rename 's/ /_/g; $_ = uc' <'" + list + "'";
            if (std::system(cmd.c_str()) != 0)
                g_failed = true;
        });
        const double namewright = seconds([&] { peakMiB(self, "pass", ours, tableFile, files); });
        right = right && namesIn(ours) == namesIn(theirs) && namesIn(ours).count("PHOTO_0.JPG");
        ratios.push_back(namewright / perl);
        std::system(("rm -rf '" + ours + "' '" + theirs + "' '" + list + "'").c_str());
    }
    if (!right)
        g_failed = true;
    report("end to end, launch to last rename, " + std::to_string(files) +
               " files / Debian rename (Perl)" + (right ? "" : " WRONG RESULT"),
           "child process, offscreen", ratios, "a peer");
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc == 5 && std::string(argv[1]) == "--window")
        return windowChild(argv[2], argv[3], argv[4]);
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    if (resultsOnly())
        kRuns = 1;
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int renames = argc > 2 ? std::atoi(argv[2]) : 20000;
    std::printf("Namewright benchmark: %d files listed, %d renamed\n\n", files, renames);
    std::printf("%-72s %-25s %6s  %-10s %-9s\n", "measure", "driven as", "median", "spread",
                "goal");

    nw::PosixFileSystem fs;
    const std::string big =
        makeNamedFolder(files, [](int i) { return "Photo " + std::to_string(i) + ".JPG"; });
    nw::app::FileListBox list(fs);
    list.resize(201, 270);
    list.show();
    // Each measure beside a listing of its own: readdir + stat of the folder.
    auto againstListing = [&](
                              const std::function<void()>& f,
                              const std::function<void()>& prepare = [] {}) {
        std::vector<double> ratios;
        for (int i = 0; i < kRuns; ++i) {
            const double raw = seconds([&] { rawListing(big); });
            prepare();
            ratios.push_back(seconds(f) / raw);
        }
        return ratios;
    };
    report("File1 showing the folder / readdir+stat", "in-process call", againstListing([&] {
               list.setPath(big);
               QApplication::processEvents();
           }),
           "<= 3");
    report("select all / one listing", "in-process call", againstListing([&] {
               list.selectAllEntries();
               list.Selected(0);
           }),
           "< 1");
    report("clear all / one listing", "in-process call", againstListing([&] {
               list.clearAllEntries();
               list.Selected(0);
           }),
           "< 1");
    // Every other entry, the worst case for a selection kept as ranges.
    QItemSelection scattered;
    for (int i = 0; i < files; i += 2)
        scattered.append(QItemSelectionRange(list.model()->index(i, 0)));
    report("invert / one listing", "in-process call",
           againstListing(
               [&] {
                   list.invertEntries();
                   list.Selected(0);
               },
               [&] {
                   list.selectionModel()->select(scattered, QItemSelectionModel::ClearAndSelect);
                   list.Selected(0);
               }),
           "< 1");
    // The preview of every entry selected: the dry run of Command1's tool and
    // the table's model over it.
    list.selectAllEntries();
    nw::app::PreviewModel previewModel;
    auto preview = [&] {
        previewModel.setPreview(nw::DryRun(list, fs, [](nw::FileSystem&) {
            nw::RenameTool t;
            t.transform = [](int, const std::u32string& n) {
                return nw::TransformResult::of(nw::ConvertName(
                    n, {nw::CaseMode::Upper, true, true, nw::SpaceMode::SpaceToUnderscore}));
            };
            return t;
        }));
    };
    // The first dry run on a drive learns what the drive can do (a probe
    // that renames a file of its own there, once per drive): not timed.
    preview();
    report("preview of every entry / one listing", "in-process call", againstListing(preview),
           "< 1");
    if (previewModel.rowCount() != files)
        g_failed = true;
    const std::string tableFile = argc > 3 ? argv[3] : "data/F2J.txt";
    benchMemory(argv[0], big, files, tableFile);
    benchEnter(fs, big, files, tableFile);
    if (files >= 100000) {
        const std::string bigger =
            makeNamedFolder(3 * files, [](int i) { return "Photo " + std::to_string(i) + ".JPG"; });
        benchEnter(fs, bigger, 3 * files, tableFile);
        std::system(("rm -rf '" + bigger + "'").c_str());
    }
    benchEndToEnd(argv[0], files, tableFile);
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
    std::vector<double> speedUps;
    for (int i = 0; i < kRuns; ++i) {
        const double scan = seconds([&] {
            for (const auto& n : chinese)
                sink += nw::StrJ2FByScan(table, n).size();
        });
        speedUps.push_back(scan / seconds([&] {
                               for (const auto& n : chinese)
                                   sink += nw::StrJ2F(table, n).size();
                           }));
    }
    report("StrJ2F scan / StrJ2F index (speed-up)", "in-process call", speedUps, "> 1");

    benchBuildInBusyFolder(files / 2, tableFile);
    benchJournalOnFuse(renames);
    const std::string busy =
        makeNamedFolder(files, [](int i) { return "file " + std::to_string(i) + ".txt"; });
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        benchStartUp("xcb", "child process, X server", busy);
    benchStartUp("offscreen", "child process, offscreen", busy);
    std::system(("rm -rf '" + busy + "'").c_str());

    if (sink == 0 || g_failed) {
        std::printf("\nWRONG RESULT: a measured program did not do what it was asked\n");
        return 1;
    }
    if (!g_missed.empty()) {
        std::printf("\nGoals missed (%zu):\n", g_missed.size());
        for (const std::string& m : g_missed)
            std::printf("  %s\n", m.c_str());
        return resultsOnly() ? 0 : 3;
    }
    std::printf("\nEvery goal met.\n");
    return 0;
}
