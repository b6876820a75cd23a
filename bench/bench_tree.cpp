// Whole trees: listing 100,000 entries in 1,000 folders against a walk of the
// same tree with readdir and stat, and the heap the listing holds.
#include "bench/bench.h"

#include "platform/tree_listing.h"

#include <malloc.h>

#include <cstdio>

namespace nw::bench {
namespace {

// folders folders, ten at the top and the rest spread below them, each with
// perFolder files.
Folder makeTree(int folders, int perFolder) {
    auto d = std::make_unique<nw::test::TempFolder>();
    const int top = std::min(10, folders);
    for (int f = 0; f < folders; ++f) {
        const std::string sub =
            f < top ? "专辑 " + std::to_string(f)
                    : "专辑 " + std::to_string(f % top) + "/碟 " + std::to_string(f);
        const std::string path = d->path() + "/" + sub;
        ::mkdir(path.c_str(), 0755);
        for (int i = 0; i < perFolder; ++i) {
            const std::string file = path + "/第" + std::to_string(i) + "首.mp3";
            const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0644);
            if (fd >= 0)
                ::close(fd);
        }
    }
    return d;
}

// Every entry below d, each looked at with stat, as a plain program walks a
// tree.
std::size_t rawWalk(const std::string& d) {
    DIR* dir = ::opendir(d.c_str());
    if (!dir)
        return 0;
    std::size_t n = 0;
    std::vector<std::string> below;
    while (dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0)
            continue;
        struct stat st {};
        ::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW);
        ++n;
        if (S_ISDIR(st.st_mode))
            below.push_back(d + "/" + e->d_name);
    }
    ::closedir(dir);
    for (const std::string& b : below)
        n += rawWalk(b);
    return n;
}

std::size_t heapInUse() { return mallinfo2().uordblks; }

} // namespace

void benchTree(nw::FileSystem& fs, int entries) {
    const int folders = std::max(1, entries / 100);
    const int perFolder = entries / folders - 1; // the folder is an entry too
    const Folder tree = makeTree(folders, perFolder);
    const auto expected =
        static_cast<std::size_t>(folders) * static_cast<std::size_t>(perFolder + 1);
    TreeListing out;
    std::vector<double> ratios;
    for (int i = 0; i < kRuns; ++i) {
        std::size_t raw = 0;
        const double walk = seconds([&] { raw = rawWalk(tree->path()); });
        const double listed = seconds([&] {
            listTree(fs, tree->path(), WildcardSet(U"*.*"), {}, {true, true}, out);
        });
        if (raw != expected || out.entries.size() != expected) {
            std::fprintf(stderr, "tree: %zu entries walked, %zu listed, %zu made\n", raw,
                         out.entries.size(), expected);
            g_failed = true;
        }
        ratios.push_back(listed / walk);
    }
    report("list a tree of " + std::to_string(expected) + " entries in " + std::to_string(folders) +
               " folders / readdir+stat walk",
           "in-process call", ratios, "<= 3");
    out = {};
    const std::size_t before = heapInUse();
    listTree(fs, tree->path(), WildcardSet(U"*.*"), {}, {true, true}, out);
    const double mib = static_cast<double>(heapInUse() - before) / (1024.0 * 1024.0);
    report("heap held by the listing of " + std::to_string(out.entries.size()) + " entries (MiB)",
           "in-process call", {mib}, "a figure");
}

} // namespace nw::bench
