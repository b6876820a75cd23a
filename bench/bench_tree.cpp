// Whole trees: listing 100,000 entries in 1,000 folders against a walk of the
// same tree with readdir and stat, the heap the listing holds, the window
// answering while it reads such a tree, Command1 over 20,000 files in 200
// folders against a renameat2 loop over the same files, and the window's peak
// memory with a tree of three times the entries shown.
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

// Every path below d (folders with a trailing "/").
std::set<std::string> pathsIn(const std::string& d, const std::string& below = {}) {
    std::set<std::string> out;
    for (const std::string& n : namesIn(d)) {
        struct stat st {};
        ::lstat((d + "/" + n).c_str(), &st);
        if (S_ISDIR(st.st_mode)) {
            out.insert(below + n + "/");
            for (const std::string& p : pathsIn(d + "/" + n, below + n + "/"))
                out.insert(p);
        } else {
            out.insert(below + n);
        }
    }
    return out;
}

// Command1 (大写, 转换为_) with 包括子文件夹 over every file of a tree of
// folders folders of perFolder files, against a renameat2 loop making the
// same names in a copy of the tree.
void commandOverTree(nw::FileSystem& fs, const std::string& tableFile, int folders, int perFolder) {
    using nw::app::Form1;
    const Folder programFolder = programFolderWithTable(tableFile);
    QStringList messages;
    nw::app::setMessageHook([&](nw::app::MessageKind, const QString& t) { messages << t; });
    Form1 form(fs, programFolder->path());
    form.show();
    QApplication::processEvents();
    std::vector<double> ratios;
    bool right = true;
    int files = 0;
    for (int round = 0; round < kRuns; ++round) {
        const Folder tree = makeTree(folders, perFolder), copy = makeTree(folders, perFolder);
        std::vector<std::pair<std::string, std::string>> names; // below the tree
        for (const std::string& p : pathsIn(copy->path()))
            if (p.back() != '/') {
                const std::size_t slash = p.rfind('/');
                const std::string name = p.substr(slash + 1);
                names.emplace_back(
                    p, p.substr(0, slash + 1) +
                           nw::encodeName(nw::ConvertName(nw::decodeName(name),
                                                          {nw::CaseMode::Upper, true, true,
                                                           nw::SpaceMode::SpaceToUnderscore})));
            }
        files = static_cast<int>(names.size());
        form.File1->setTreeOptions({true, false});
        form.txtPath->setText(QString::fromStdString(tree->path()));
        form.cmdGoPath_Click();
        form.SSTab1->setCurrentIndex(0);
        control<QRadioButton>(form, "Option1(0)")->setChecked(true);
        control<QRadioButton>(form, "Option2(1)")->setChecked(true);
        form.File1->selectAllEntries();
        const double loop = seconds([&] {
            for (const auto& [from, to] : names)
                ::syscall(SYS_renameat2, AT_FDCWD, (copy->path() + "/" + from).c_str(), AT_FDCWD,
                          (copy->path() + "/" + to).c_str(), 1);
        });
        ratios.push_back(seconds([&] {
                             control<QPushButton>(form, "Command1")->click();
                             QApplication::processEvents();
                         }) /
                         loop);
        right = right && pathsIn(tree->path()) == pathsIn(copy->path()) && messages.isEmpty();
        messages.clear();
    }
    nw::app::setMessageHook(nullptr);
    if (!right)
        g_failed = true;
    report(right ? "Command1 over " + std::to_string(files) + " files in " +
                       std::to_string(folders) + " folders / renameat2 loop"
                 : "Command1 over a tree WRONG RESULT",
           "in-process click", ratios, "<= 1.5");
}

} // namespace

void benchTree(nw::FileSystem& fs, int entries, const char* self, const std::string& tableFile) {
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

    // The window answering while the list reads the whole tree.
    {
        nw::app::FileListBox list(fs);
        list.resize(201, 270);
        list.show();
        list.setTreeOptions({true, true});
        std::vector<double> gaps;
        for (int i = 0; i < kRuns; ++i) {
            const qint64 longest = longestGapMs([&] { list.setPath(tree->path()); });
            if (static_cast<std::size_t>(list.ListCount()) != expected)
                g_failed = true;
            gaps.push_back(static_cast<double>(longest) / 100.0);
        }
        report("longest event-loop gap while the list reads the tree / 100 ms", "in-process call",
               gaps, "<= 1");
    }

    const int renames = std::max(100, entries / 5);
    commandOverTree(fs, tableFile, std::max(1, renames / 100), 100);

    // The window's peak memory with three times the tree shown.
    const int bigFolders = 3 * folders;
    const Folder bigTree = makeTree(bigFolders, perFolder);
    const double mibShown =
        peakMiB(self, "tree", bigTree->path(), tableFile, bigFolders * (perFolder + 1));
    report("peak memory, a tree of " + std::to_string(bigFolders * (perFolder + 1)) +
               " entries shown (MiB)",
           "child process", {mibShown}, "a figure");
}

} // namespace nw::bench
