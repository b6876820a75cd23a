// Passes killed with SIGKILL at random instants, on every kind of drive a user
// renames on, as a crash, a power cut or a pulled stick would cut them off.
// After recovery every file is there once, under its old or its new name, with
// its content, and nothing else is in the folder: no placeholder, no second
// name, no temporary file, no journal.
#include "core/convert_name.h"
#include "core/extension.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/fuse_image.h"
#include "tests/support/sshfs_mount.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nw {
namespace {

using test::FuseImage;
using test::Snapshot;
using Clock = std::chrono::steady_clock;

enum class Drive { Local, LocalLinks, ExFat, Fat, Ntfs, Sshfs };

struct KillCase {
    const char* name;
    Drive drive;
    bool caseOnly; // else an extension change
    int kills;
    bool tree; // a pass over a tree of folders, folders renamed too
};

std::ostream& operator<<(std::ostream& os, const KillCase& c) { return os << c.name; }

std::optional<FuseImage::Kind> fuseKind(Drive d) {
    switch (d) {
    case Drive::ExFat: return FuseImage::Kind::ExFat;
    case Drive::Fat: return FuseImage::Kind::Fat;
    case Drive::Ntfs: return FuseImage::Kind::Ntfs;
    case Drive::Local:
    case Drive::LocalLinks:
    case Drive::Sshfs: break;
    }
    return std::nullopt;
}

// The name each tool gives, as the child computes it.
std::string expectedName(const std::string& name, const std::string& tool) {
    const std::u32string n = decodeName(name);
    if (tool == "upper" || tool == "lower")
        return encodeName(ConvertName(n, {tool == "upper" ? CaseMode::Upper : CaseMode::Lower, true,
                                          true, SpaceMode::SpaceToUnderscore}));
    return encodeName(ChangeFileExt(n, decodeName(tool.substr(4))));
}

// Whether each part of a path now is that of the path before or the tool's.
bool eachPartOldOrNew(const std::string& was, const std::string& now, const std::string& tool) {
    std::size_t i = 0, j = 0;
    while (i <= was.size() && j <= now.size()) {
        std::size_t ei = was.find('/', i), ej = now.find('/', j);
        ei = ei == std::string::npos ? was.size() : ei;
        ej = ej == std::string::npos ? now.size() : ej;
        const std::string a = was.substr(i, ei - i), b = now.substr(j, ej - j);
        if (b != a && b != expectedName(a, tool))
            return false;
        if ((ei == was.size()) != (ej == now.size()))
            return false;
        i = ei + 1;
        j = ej + 1;
    }
    return true;
}

std::size_t entriesIn(const std::string& folder) {
    std::size_t n = 0;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            n += e->d_name[0] != '.' || (e->d_name[1] != 0 && e->d_name[1] != '.');
        ::closedir(d);
    }
    return n;
}

class KilledPasses : public ::testing::TestWithParam<KillCase> {
protected:
    void SetUp() override {
        if (fuseKind(GetParam().drive))
            if (const std::string why = FuseImage::unavailable(); !why.empty())
                GTEST_SKIP() << why;
        if (GetParam().drive == Drive::Sshfs)
            if (const std::string why = test::SshfsMount::unavailable(); !why.empty())
                GTEST_SKIP() << why;
    }
    void TearDown() override {
        image.reset();
        ssh.reset();
    }

    // Every round starts on a drive of its own, freshly made (a copy of one
    // seeded image): a pass killed at another instant each time, never on
    // what earlier rounds left. (After some thousand creations and removals
    // in one folder, fusefat itself was seen to write a folder's entries over
    // a file's content.) fusefat looks a name up by reading the whole folder,
    // so a pass there slows with the square of its files: 150 files take
    // seconds where 1,000 took minutes, and still hold every step cut below (the
    // 137th placeholder of an extension change among them).
    void freshDrive() {
        image.reset();
        ssh.reset();
        local.reset();
        FuseImage::Seed seed{"many", {}};
        const int files = GetParam().tree ? 10 : GetParam().drive == Drive::Fat ? 150 : 1000;
        for (int i = 0; i < files; ++i)
            seed.files["File_" + std::to_string(i) + ".Txt"] = "content " + std::to_string(i);
        // A tree: four discs of two parts of 15 files each, below the 10.
        if (GetParam().tree)
            for (int disc = 1; disc <= 4; ++disc)
                for (int part = 1; part <= 2; ++part)
                    for (int i = 0; i < 15; ++i) {
                        const std::string path = "Disc_" + std::to_string(disc) + "/Part_" +
                                                 std::to_string(part) + "/File_" +
                                                 std::to_string(i) + ".Txt";
                        seed.files[path] = path;
                    }
        if (const auto kind = fuseKind(GetParam().drive)) {
            image = std::make_unique<FuseImage>(*kind, mountPoint.path(), seed);
            ASSERT_TRUE(image->mounted()) << image->failure();
            folder = mountPoint.path() + "/many";
        } else {
            local = std::make_unique<test::TempFolder>();
            folder = local->path();
            for (const auto& [name, content] : seed.files) {
                if (const auto slash = name.rfind('/'); slash != std::string::npos)
                    std::filesystem::create_directories(folder + "/" + name.substr(0, slash));
                test::writeFile(folder, name, content);
            }
            if (GetParam().drive == Drive::Sshfs) {
                // The same folder, reached through sshfs.
                ssh = std::make_unique<test::SshfsMount>(folder, mountPoint.path());
                ASSERT_TRUE(ssh->mounted()) << ssh->failure();
                folder = mountPoint.path();
            }
        }
    }

    // The child pass; die: "die:CALL:N" to have it cut off right after that
    // system call.
    pid_t start(const std::string& tool, const std::string& die = "live") {
        const bool links = GetParam().drive == Drive::LocalLinks;
        const pid_t pid = ::fork();
        if (pid == 0) {
            const std::string how = GetParam().tree ? "tree-" + tool : tool;
            ::execl(NW_PASS_CHILD, NW_PASS_CHILD, folder.c_str(), how.c_str(),
                    journals.path().c_str(), links ? "link" : "plain", die.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }

    Snapshot look() const {
        return GetParam().tree ? test::snapshotTree(folder) : test::snapshot(folder);
    }

    // Recovery after a pass was cut off, then the folder checked: each file of
    // before is there once, under its old name or the tool's (in a tree, in
    // folders each under its old name or the tool's), and nothing else is.
    RecoveryReport recoverAndCheck(const Snapshot& before, const std::string& tool,
                                   const std::string& when) {
        PosixFileSystem fs;
        fs.setJournalFolder(journals.path());
        const RecoveryReport r = fs.recoverInterruptedPasses();
        EXPECT_TRUE(r.unresolved.empty()) << when << ": " << r.unresolved.front();
        const Snapshot after = look();
        std::map<std::string, std::string> nameOf; // content -> name now
        for (const auto& [name, content] : after) {
            if (content != "<folder>") {
                EXPECT_TRUE(nameOf.emplace(content, name).second)
                    << when << ": two files hold \"" << content << "\"";
            }
        }
        EXPECT_EQ(after.size(), before.size()) << when;
        for (const auto& [name, content] : before) {
            const auto it = nameOf.find(content);
            if (content == "<folder>")
                continue;
            if (it == nameOf.end()) {
                ADD_FAILURE() << when << ": lost " << name;
                continue;
            }
            EXPECT_TRUE(eachPartOldOrNew(name, it->second, tool))
                << when << ": " << name << " is now " << it->second;
        }
        EXPECT_EQ(entriesIn(journals.path()), 0u) << when << ": a journal is left";
        return r;
    }

    test::TempFolder mountPoint, journals;
    std::unique_ptr<FuseImage> image;
    std::unique_ptr<test::TempFolder> local;
    std::unique_ptr<test::SshfsMount> ssh;
    std::string folder;
};

TEST_P(KilledPasses, EveryFileOnceUnderOneOfItsNames) {
    const KillCase& c = GetParam();
    const std::string tool = c.caseOnly ? "upper" : "ext:bak";
    // One pass to its end, to learn how long a pass takes here.
    freshDrive();
    Snapshot before = look();
    const auto t0 = Clock::now();
    int status = 0;
    ::waitpid(start(tool), &status, 0);
    const double full = std::chrono::duration<double>(Clock::now() - t0).count();
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the uncut pass failed";
    recoverAndCheck(before, tool, "uncut pass");
    if (c.tree) {
        EXPECT_EQ(look().count("Disc_1/Part_1"), c.drive == Drive::Fat ? 1U : 0U);
    }

    // Every step of the drive's method cut off on purpose: right after each
    // system call that leaves a file between two names. A letter-case change
    // on exFAT and FAT makes four calls per file (claim a temporary name,
    // move into it, claim the new name, move onto it), so an odd count stops
    // in the first half and an even one in the second.
    struct Step {
        const char* call;
        int n;
        int RecoveryReport::*found; // what recovery must find there
    };
    std::vector<Step> steps;
    // In the tree, entry 25 is the folder Disc_1/Part_1, renamed after its 15
    // files, and entry 42 the folder Disc_1, after all it holds; one call per
    // entry where the drive renames in one step, two claims (a folder's with
    // an empty folder) and two renames where it goes by a temporary name.
    // Where files are linked (NTFS, sshfs), a folder claims its new name with
    // an empty folder: the first such claim is Disc_1/Part_1's, and the 26th
    // link the first file of Disc_1/Part_2.
    // FAT through fusefat loses what a folder holds when it renames it: its
    // folders are left as they are, and only the files change (the 26th
    // file is the first of Disc_1/Part_2).
    if (c.tree && c.drive == Drive::Local)
        steps = {{"noreplace", 26, nullptr}, {"noreplace", 43, nullptr}};
    else if (c.tree && (c.drive == Drive::Ntfs || c.drive == Drive::Sshfs))
        steps = {{"mkdir", 1, &RecoveryReport::placeholders},
                 {"link", 26, &RecoveryReport::secondNames}};
    else if (c.tree && c.drive == Drive::Fat)
        steps = {{"create", 51, &RecoveryReport::emptyTemporaries},
                 {"create", 52, &RecoveryReport::placeholders}};
    else if (c.tree)
        steps = {{"mkdir", 1, &RecoveryReport::emptyTemporaries},
                 {"mkdir", 2, &RecoveryReport::placeholders},
                 {"rename", 85, &RecoveryReport::temporaries}};
    else
        switch (c.drive) {
        case Drive::Local: steps = {{"noreplace", 137, nullptr}}; break;
        case Drive::LocalLinks:
        case Drive::Ntfs:
        case Drive::Sshfs: steps = {{"link", 137, &RecoveryReport::secondNames}}; break;
        case Drive::ExFat:
        case Drive::Fat:
            if (c.caseOnly)
                steps = {{"create", 137, &RecoveryReport::emptyTemporaries},
                         {"rename", 137, &RecoveryReport::temporaries},
                         {"create", 138, &RecoveryReport::placeholders}};
            else
                steps = {{"create", 137, &RecoveryReport::placeholders}};
            break;
        }
    for (const Step& step : steps) {
        freshDrive();
        before = look();
        const std::string die = std::string("die:") + step.call + ":" + std::to_string(step.n);
        ::waitpid(start(tool, die), &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status)) << die << " did not cut the pass off";
        const RecoveryReport r = recoverAndCheck(before, tool, die);
        if (step.found) {
            EXPECT_EQ(r.*step.found, 1) << die;
        }
        EXPECT_EQ(r.restored, step.found && step.found != &RecoveryReport::emptyTemporaries) << die;
        if (HasFatalFailure())
            return;
    }

    // And killed from outside at random instants of the pass, as a crash
    // would.
    std::mt19937 rng(20261207u + static_cast<unsigned>(c.drive) * 7 + c.caseOnly);
    std::uniform_real_distribution<double> when(0.0, full);
    int cut = 0, restored = 0;
    for (int k = 1; k <= c.kills; ++k) {
        freshDrive();
        before = look();
        const pid_t pid = start(tool);
        std::this_thread::sleep_for(std::chrono::duration<double>(when(rng)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        cut += WIFSIGNALED(status);
        restored += recoverAndCheck(before, tool, "kill " + std::to_string(k)).restored;
        if (HasFatalFailure())
            return;
    }
    std::printf("%s: a pass takes %.2f s; %d of %d random kills cut a pass, recovery put %d "
                "files right\n",
                c.name, full, cut, c.kills, restored);
}

// One instantiation per kind of drive: each is an entry of its own in the
// test run, and they run side by side.
std::string caseName(const ::testing::TestParamInfo<KillCase>& i) { return i.param.name; }
INSTANTIATE_TEST_SUITE_P(
    Local, KilledPasses,
    ::testing::Values(KillCase{"local_case", Drive::Local, true, 20, false},
                      KillCase{"local_extension", Drive::Local, false, 20, false},
                      KillCase{"links_case", Drive::LocalLinks, true, 20, false},
                      KillCase{"links_extension", Drive::LocalLinks, false, 20, false}),
    caseName);
INSTANTIATE_TEST_SUITE_P(Trees, KilledPasses,
                         ::testing::Values(KillCase{"local_tree", Drive::Local, true, 10, true},
                                           KillCase{"exfat_tree", Drive::ExFat, true, 6, true},
                                           KillCase{"fat_tree", Drive::Fat, true, 2, true},
                                           KillCase{"ntfs_tree", Drive::Ntfs, true, 2, true},
                                           KillCase{"sshfs_tree", Drive::Sshfs, true, 2, true}),
                         caseName);
INSTANTIATE_TEST_SUITE_P(ExFat, KilledPasses,
                         ::testing::Values(KillCase{"exfat_case", Drive::ExFat, true, 16, false},
                                           KillCase{"exfat_extension", Drive::ExFat, false, 12,
                                                    false}),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Fat, KilledPasses,
                         ::testing::Values(KillCase{"fat_case", Drive::Fat, true, 4, false},
                                           KillCase{"fat_extension", Drive::Fat, false, 4, false}),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Ntfs, KilledPasses,
                         ::testing::Values(KillCase{"ntfs_case", Drive::Ntfs, true, 12, false},
                                           KillCase{"ntfs_extension", Drive::Ntfs, false, 12,
                                                    false}),
                         caseName);
INSTANTIATE_TEST_SUITE_P(Sshfs, KilledPasses,
                         ::testing::Values(KillCase{"sshfs_case", Drive::Sshfs, true, 10, false},
                                           KillCase{"sshfs_extension", Drive::Sshfs, false, 10,
                                                    false}),
                         caseName);

} // namespace
} // namespace nw
