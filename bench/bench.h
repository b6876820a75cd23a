#pragma once
// What the benchmark's parts share: timing, the rows of the table and their
// goals, folders of the tests' kind (removed with their object), children run
// without a shell, and the measures of each part.
#include "app/appearance.h"
#include "app/file_list_box.h"
#include "core/conv_table.h"
#include "core/convert_name.h"
#include "core/rename_pass.h"
#include "platform/name_codec.h"
#include "platform/places.h"
#include "platform/posix_file_system.h"
#include "platform/sort_order.h"
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
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nw::bench {

using Clock = std::chrono::steady_clock;
using Folder = std::unique_ptr<nw::test::TempFolder>;

// Set when a measured program or a child did not do what it was asked.
extern bool g_failed;
// Paired runs: each ratio is taken from a run of the measure and a run of its
// baseline made side by side. One where only the results are checked.
extern int kRuns;
// The goals missed, as the end of the table lists them.
extern std::vector<std::string> g_missed;

bool resultsOnly();

template <typename F> double seconds(F f) {
    const auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double median(std::vector<double> v);
// The longest the event loop went without turning while work ran, in ms
// (a timer of 1 ms measures it).
qint64 longestGapMs(const std::function<void()>& work);
// One row: the median ratio, the spread of the runs, how it was driven.
void report(const std::string& what, const char* how, const std::vector<double>& ratios,
            const char* goal);
std::size_t rawListing(const std::string& d);

// A folder of that many empty files, named by name(i).
Folder makeNamedFolder(int files, const std::function<std::string(int)>& name);
// A program folder with the conversion table beside the (imagined) executable.
Folder programFolderWithTable(const std::string& tableFile);
std::set<std::string> namesIn(const std::string& d);
// Chinese file names of a few kinds, numbered: each needs converting.
std::string simplifiedName(int i);

// Runs a program (no shell) in cwd (none: this one's), its standard input
// read from input (none: /dev/null); answers its exit status, its standard
// output into out where given.
int runChild(const std::vector<std::string>& argv, const std::string& cwd = {},
             const std::string& input = {}, std::string* out = nullptr);

template <typename T> T* control(nw::app::Form1& form, const char* name) {
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no control %s\n", name);
        std::exit(2);
    }
    return w;
}

// The measures, by area.
bool benchButtons(nw::FileSystem& fs, int renames, const std::string& tableFile);
void benchJournalOnFuse(int files);
void benchHistory(nw::FileSystem& fs, int files, int renames, const std::string& tableFile);
void benchFacts(nw::FileSystem& fs, int files, int renames, const std::string& tableFile);
// The peak memory (MiB) of a child showing the window over folder: "shown",
// "tree" (包括子文件夹 and 包括文件夹), or after a pass; it must list
// expectCount entries.
double peakMiB(const char* self, const std::string& what, const std::string& folder,
               const std::string& tableFile, int expectCount);
void benchTree(nw::FileSystem& fs, int entries, const char* self, const std::string& tableFile);
void benchMemory(const char* self, const std::string& big, int files, const std::string& tableFile);
void benchEnter(nw::FileSystem& fs, const std::string& folder, int files,
                const std::string& tableFile);
void benchEndToEnd(const char* self, int files, const std::string& tableFile);
void benchBuildInBusyFolder(int files, const std::string& tableFile);
void benchStartUp(const char* platform, const char* how, const std::string& workingFolder);
// The child process of the window rows: see windowChild in bench_window.cpp.
int windowChild(const std::string& what, const std::string& folder, const std::string& tableFile);

} // namespace nw::bench
