// Measures the program against plain baselines in the same run and prints
// ratios: the file list against readdir + stat, selection against one
// listing, the rename pass against a plain renameat2 loop, StrJ2F's index
// against the slot scan.
#include "app/appearance.h"
#include "app/file_list_box.h"
#include "core/conv_table.h"
#include "core/convert_name.h"
#include "core/rename_pass.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

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

std::string makeFolder(int files) {
    char tmpl[] = "/tmp/namewright-bench-XXXXXX";
    const std::string d = ::mkdtemp(tmpl);
    for (int i = 0; i < files; ++i) {
        const std::string p = d + "/Photo " + std::to_string(i) + ".JPG";
        ::close(::open(p.c_str(), O_WRONLY | O_CREAT, 0644));
    }
    return d;
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
    std::printf("%-48s %8.2f   (goal %s)\n", what, ratio, goal);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int renames = argc > 2 ? std::atoi(argv[2]) : 20000;
    std::printf("Namewright benchmark: %d files listed, %d renamed\n\n", files, renames);
    std::printf("%-48s %8s\n", "measure", "ratio");

    nw::PosixFileSystem fs;
    const std::string big = makeFolder(files);
    nw::app::FileListBox list(fs);
    list.resize(201, 270);
    list.show();
    const double raw = best(3, [&] { rawListing(big); });
    const double shown = best(3, [&] {
        list.setPath(big);
        QApplication::processEvents();
    });
    report("File1 showing the folder / readdir+stat", shown / raw, "<= 3");
    report("select all / one listing", best(3, [&] { list.selectAllEntries(); list.Selected(0); }) / raw, "< 1");
    report("clear all / one listing", best(3, [&] { list.clearAllEntries(); list.Selected(0); }) / raw, "< 1");
    // Every other entry, the worst case for a selection kept as ranges.
    QItemSelection scattered;
    for (int i = 0; i < files; i += 2)
        scattered.append(QItemSelectionRange(list.model()->index(i, 0)));
    list.selectionModel()->select(scattered, QItemSelectionModel::ClearAndSelect);
    report("invert / one listing", best(3, [&] { list.invertEntries(); list.Selected(0); }) / raw, "< 1");
    std::system(("rm -rf '" + big + "'").c_str());

    // The pass with Command1's transform against a plain loop over the same
    // old and new names, each on a fresh folder.
    const nw::ConvertOptions upper{nw::CaseMode::Upper, true, true, nw::SpaceMode::DeleteSpace};
    const std::string a = makeFolder(renames), b = makeFolder(renames);
    list.setPath(a);
    std::vector<std::pair<std::string, std::string>> names;
    for (int i = 0; i < list.ListCount(); ++i)
        names.emplace_back(nw::encodeName(list.List(i)),
                           nw::encodeName(nw::ConvertName(list.List(i), upper)));
    const double loop = seconds([&] {
        for (const auto& [from, to] : names)
            ::syscall(SYS_renameat2, AT_FDCWD, (b + "/" + from).c_str(), AT_FDCWD,
                      (b + "/" + to).c_str(), 1);
    });
    list.selectAllEntries();
    nw::RenameTool tool;
    tool.transform = [&](const std::u32string& n) {
        return nw::TransformResult::of(nw::ConvertName(n, upper));
    };
    const double pass = seconds([&] { nw::RunRenamePass(list, fs, tool); });
    report("Command1 pass / renameat2 loop", pass / loop, "<= 1.5");
    std::system(("rm -rf '" + a + "' '" + b + "'").c_str());

    // StrJ2F on Chinese names, index against scan.
    std::ifstream t(argc > 3 ? argv[3] : "data/F2J.txt", std::ios::binary);
    const nw::ConvTable table(std::vector<std::uint8_t>(std::istreambuf_iterator<char>(t), {}));
    std::vector<std::u32string> chinese;
    for (int i = 0; i < 10000; ++i)
        chinese.push_back(std::u32string(U"中国发展报告") + char32_t(U'一' + i % 500) + U".txt");
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
    return sink == 0 ? 1 : 0;
}
