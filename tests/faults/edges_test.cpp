// The edges of a pass that a person attacking it meets: a file that vanished
// before its turn, a drive that stops answering mid-pass, a drive that
// numbers its files anew, a recovery running beside a pass, a state folder
// that fills up, journals torn, flipped or planted. Whatever happens, every
// file is kept under one of its names, and what cannot be settled is said.
#include "core/convert_name.h"
#include "core/dry_run.h"
#include "core/extension.h"
#include "core/rename_pass.h"
#include "core/undo.h"
#include "platform/history.h"
#include "platform/journal.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/fuse_image.h"
#include "tests/support/real_list.h"
#include "tests/support/sshfs_mount.h"

#include <gtest/gtest.h>

#include <ctime>

#include <atomic>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace nw {
namespace {

using test::FuseImage;
using test::inChild;
using test::RealList;
using test::Snapshot;
using test::TempFolder;

RenameTool caseTool(CaseMode mode) {
    RenameTool t;
    t.transform = [mode](int, const std::u32string& n) {
        return TransformResult::of(ConvertName(n, {mode, true, true}));
    };
    return t;
}

RenameTool extensionTool(const std::u32string& ext) {
    RenameTool t;
    t.transform = [ext](int, const std::u32string& n) {
        return TransformResult::of(ChangeFileExt(n, ext));
    };
    return t;
}

// The pass as the window runs it on a drive that needs a journal.
PassResult plannedPass(FileListSource& list, FileSystem& fs, const RenameTool& tool) {
    return RunPlannedPass(list, fs, tool, [&](FileSystem&) { return tool; });
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string n = e->d_name; n != "." && n != "..")
                out.push_back(n);
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every file of before is there once, by its content, under its old name or
// the one the table gives; anything else in the folder is named in allowed.
// told: the user was told to look at the folder, so a second name may stay.
void expectEachOnce(const Snapshot& before, const std::map<std::string, std::string>& newNames,
                    const std::string& folder, const std::vector<std::string>& allowed,
                    const std::string& where, bool told = false) {
    const Snapshot after = test::snapshot(folder);
    std::map<std::string, std::string> nameOf;
    for (const auto& [name, content] : after) {
        if (told ||
            std::find(allowed.begin(), allowed.end(), joinPath(folder, name)) != allowed.end()) {
            nameOf.emplace(content, name);
            continue;
        }
        EXPECT_TRUE(nameOf.emplace(content, name).second)
            << where << ": \"" << content << "\" under two names, one unreported";
    }
    for (const auto& [name, content] : before) {
        const auto it = nameOf.find(content);
        ASSERT_NE(it, nameOf.end()) << where << ": lost " << name;
        const auto to = newNames.find(name);
        EXPECT_TRUE(it->second == name || (to != newNames.end() && it->second == to->second))
            << where << ": " << name << " is now " << it->second;
    }
}

// ---------------------------------------------------------------------------
// The listed entry, or nothing.

// The calls of a drive without atomic renames or hard links: a call fails
// (EIO, as a drive that stopped answering) where fail says so, and after runs
// after each call that was made.
class SeamCalls : public RenameCalls {
public:
    std::function<bool(const char* call)> fail = [](const char*) { return false; };
    std::function<void(const char* call)> after = [](const char*) {};
    int link(int, const char*, const char*) override {
        errno = EPERM; // as exFAT and FAT through FUSE answer
        return -1;
    }
    int unlink(int dir, const char* name) override {
        return call("unlink", [&] { return RenameCalls::unlink(dir, name); });
    }
    int createExclusive(int dir, const char* name, dev_t& device, ino_t& inode) override {
        return call("create",
                    [&] { return RenameCalls::createExclusive(dir, name, device, inode); });
    }
    int rename(int dir, const char* from, const char* to) override {
        return call("rename", [&] { return RenameCalls::rename(dir, from, to); });
    }

protected:
    int call(const char* what, const std::function<int()>& real) {
        if (fail(what)) {
            errno = EIO;
            return -1;
        }
        const int r = real();
        const int err = errno;
        after(what);
        errno = err;
        return r;
    }
};

// A file deleted by another program after the listing: before the pass
// reaches it, between the pass's look and the drive's first step, and right
// after the new name was claimed. The pass (and undo) stops there with
// NotFound, and no empty file is left in its place, whatever the drive.
TEST(VanishedSource, NothingIsCreatedInPlaceOfAFileThatIsGone) {
    struct Drive {
        const char* name;
        std::optional<FuseImage::Kind> fuse;
        bool seam; // local folder through the placeholder method
    };
    std::vector<Drive> drives{{"local placeholder", std::nullopt, true}};
    if (FuseImage::unavailable().empty()) {
        drives.push_back({"exfat", FuseImage::Kind::ExFat, false});
        drives.push_back({"fat", FuseImage::Kind::Fat, false});
    }
    enum class When { BeforeThePass, InsideTheRename, AfterTheClaim };
    for (const Drive& drive : drives)
        for (When when : {When::BeforeThePass, When::InsideTheRename, When::AfterTheClaim}) {
            const std::string where =
                std::string(drive.name) + " / " + std::to_string(static_cast<int>(when));
            if (drive.fuse && when == When::AfterTheClaim)
                continue; // only the seam reaches between two calls
            TempFolder mountPoint, journals, local;
            std::unique_ptr<FuseImage> image;
            std::string d = local.path();
            if (drive.fuse) {
                image = std::make_unique<FuseImage>(*drive.fuse, mountPoint.path());
                ASSERT_TRUE(image->mounted()) << image->failure();
                d = mountPoint.path();
            }
            for (const char* n : {"apple.txt", "banana.txt", "cherry.txt"})
                test::writeFile(d, n, std::string("content of ") + n);
            class Fs : public PosixFileSystem {
            public:
                std::function<void(const std::string&)> before;
                FsStatus rename(const std::string& f, const std::string& o,
                                const std::string& n) override {
                    if (before)
                        before(o);
                    return PosixFileSystem::rename(f, o, n);
                }
            } fs;
            fs.setJournalFolder(journals.path());
            SeamCalls seam;
            if (drive.seam) {
                fs.setNoReplaceUnsupported(true);
                fs.setRenameCalls(&seam);
            }
            RealList list(fs, d);
            list.selectAll();
            const std::string victim = d + "/banana.txt";
            if (when == When::BeforeThePass)
                ::unlink(victim.c_str());
            if (when == When::InsideTheRename)
                fs.before = [&](const std::string& o) {
                    if (o == "banana.txt")
                        ::unlink(victim.c_str());
                };
            if (when == When::AfterTheClaim)
                seam.after = [&](const char* call) {
                    if (std::string(call) == "create" && ::access(victim.c_str(), F_OK) == 0)
                        ::unlink(victim.c_str());
                };
            const PassResult r = plannedPass(list, fs, caseTool(CaseMode::Upper));
            ASSERT_TRUE(r.failure) << where;
            EXPECT_EQ(r.failure->oldName, U"banana.txt") << where;
            EXPECT_EQ(r.failure->fs.error, FsError::NotFound) << where;
            EXPECT_EQ(r.renamed, 1) << where;
            EXPECT_EQ(test::snapshot(d), (Snapshot{{"APPLE.TXT", "content of apple.txt"},
                                                   {"cherry.txt", "content of cherry.txt"}}))
                << where;
            EXPECT_TRUE(namesIn(journals.path()).empty()) << where << ": the pass ended clean";
        }
}

// A renamed file gone since is left and named; the others go back.
TEST(VanishedSource, UndoLeavesARenamedFileThatIsGone) {
    TempFolder d;
    for (const char* n : {"a.txt", "b.txt", "c.txt"})
        test::writeFile(d.path(), n, n);
    PosixFileSystem fs;
    RealList list(fs, d.path());
    list.selectAll();
    UndoHistory history;
    history.record(RunRenamePass(list, fs, extensionTool(U"bak")));
    ::unlink((d.path() + "/b.bak").c_str());
    const PassResult r = history.undoLast(list, fs);
    EXPECT_FALSE(r.failure);
    ASSERT_EQ(r.unusual.size(), 1u);
    EXPECT_EQ(r.unusual[0].oldName, U"b.bak");
    EXPECT_EQ(r.unusual[0].left, LeftReason::NotThatFile);
    EXPECT_EQ(test::snapshot(d.path()), (Snapshot{{"a.txt", "a.txt"}, {"c.txt", "c.txt"}}));
}

// ---------------------------------------------------------------------------
// A drive that stops answering: the put-back fails too. The journal stays,
// the message names what was left, and recovery (the drive answering again)
// finishes the job.
TEST(PulledDrive, AJournalStaysUntilTheFolderIsClean) {
    struct Case {
        const char* what;
        bool links;          // the drive takes hard links
        const char* failing; // the call that fails first; every later one but a claim fails too
        int nth;
        int RecoveryReport::*found;
    };
    // b.txt is the second file: with links, link then unlink of the old
    // name; without, a claim, then a rename onto it.
    const std::vector<Case> cases{
        {"the rename onto the placeholder", false, "rename", 2, &RecoveryReport::placeholders},
        {"the removal of the old name", true, "unlink", 2, &RecoveryReport::secondNames}};
    for (const Case& c : cases) {
        TempFolder d, journals;
        for (const char* n : {"a.txt", "b.txt", "c.txt"})
            test::writeFile(d.path(), n, std::string("content of ") + n);
        const Snapshot before = test::snapshot(d.path());
        PosixFileSystem fs;
        fs.setJournalFolder(journals.path());
        fs.setNoReplaceUnsupported(true);
        class Calls : public SeamCalls {
        public:
            bool links = false;
            int link(int dir, const char* from, const char* to) override {
                return links ? call("link", [&] { return RenameCalls::link(dir, from, to); })
                             : SeamCalls::link(dir, from, to);
            }
        } seam;
        seam.links = c.links;
        fs.setRenameCalls(&seam);
        int count = 0;
        bool pulled = false;
        seam.fail = [&](const char* call) {
            const std::string what = call;
            if (what == c.failing && ++count == c.nth)
                pulled = true;
            return pulled;
        };
        RealList list(fs, d.path());
        list.selectAll();
        const PassResult r = plannedPass(list, fs, extensionTool(U"bak"));
        ASSERT_TRUE(r.failure) << c.what;
        EXPECT_EQ(r.failure->oldName, U"b.txt") << c.what;
        EXPECT_EQ(r.failure->fs.sysError, EIO) << c.what;
        EXPECT_NE(r.failure->fs.putBackError, 0) << c.what;
        EXPECT_EQ(r.failure->fs.leftAs, d.path() + "/b.bak") << c.what;
        ASSERT_EQ(namesIn(journals.path()).size(), 1u) << c.what << ": the journal must stay";
        // The drive answers again: the next start settles it.
        PosixFileSystem later;
        later.setJournalFolder(journals.path());
        const RecoveryReport rec = later.recoverInterruptedPasses();
        EXPECT_TRUE(rec.unresolved.empty()) << c.what << ": " << rec.unresolved.front();
        EXPECT_EQ(rec.restored, 1) << c.what;
        EXPECT_EQ(rec.*c.found, 1) << c.what;
        const std::map<std::string, std::string> to{{"a.txt", "a.bak"}, {"b.txt", "b.bak"}};
        expectEachOnce(before, to, d.path(), {}, c.what);
        EXPECT_EQ(test::snapshot(d.path()).size(), before.size()) << c.what;
        EXPECT_TRUE(namesIn(journals.path()).empty()) << c.what;
    }
}

// The drive's own daemon killed in the middle of a pass (exfat-fuse and
// ntfs-3g), at the step that leaves a file between two names; the drive
// mounted again, recovery settles the folder from the kept journal.
TEST(PulledDrive, TheDrivesDaemonKilledMidPass) {
    if (const std::string why = FuseImage::unavailable(); !why.empty())
        GTEST_SKIP() << why;
    struct Case {
        const char* what;
        FuseImage::Kind kind;
        bool caseChange;
        const char* call; // the daemon dies right after the 5th of these
    };
    const std::vector<Case> cases{
        {"exfat: the placeholder claimed", FuseImage::Kind::ExFat, false, "create"},
        {"exfat: moved to the temporary name", FuseImage::Kind::ExFat, true, "rename"},
        {"ntfs: the second name made", FuseImage::Kind::Ntfs, false, "link"}};
    for (const Case& c : cases) {
        TempFolder mountPoint, journals;
        FuseImage::Seed seed{"many", {}};
        for (int i = 0; i < 12; ++i)
            seed.files["file" + std::to_string(10 + i) + ".txt"] = "content " + std::to_string(i);
        FuseImage image(c.kind, mountPoint.path(), seed);
        ASSERT_TRUE(image.mounted()) << image.failure();
        ASSERT_TRUE(image.remount()) << c.what; // the files written through to the image
        const std::string d = mountPoint.path() + "/many";
        const Snapshot before = test::snapshot(d);
        class Calls : public RenameCalls {
        public:
            std::function<void(const char*)> after;
            int link(int dir, const char* from, const char* to) override {
                const int r = RenameCalls::link(dir, from, to);
                after("link");
                return r;
            }
            int createExclusive(int dir, const char* name, dev_t& device, ino_t& inode) override {
                const int r = RenameCalls::createExclusive(dir, name, device, inode);
                after("create");
                return r;
            }
            int rename(int dir, const char* from, const char* to) override {
                const int r = RenameCalls::rename(dir, from, to);
                after("rename");
                return r;
            }
        } calls;
        int count = 0;
        calls.after = [&](const char* call) {
            if (std::string(call) == c.call && ++count == 5)
                image.killDaemon();
        };
        PosixFileSystem fs;
        fs.setJournalFolder(journals.path());
        fs.setRenameCalls(&calls);
        RealList list(fs, d);
        list.selectAll();
        const PassResult r =
            plannedPass(list, fs, c.caseChange ? caseTool(CaseMode::Upper) : extensionTool(U"bak"));
        ASSERT_TRUE(r.failure) << c.what;
        EXPECT_FALSE(r.failure->fs.leftAs.empty()) << c.what;
        EXPECT_EQ(namesIn(journals.path()).size(), 1u) << c.what << ": the journal must stay";
        ASSERT_TRUE(image.remount()) << c.what;
        PosixFileSystem later;
        later.setJournalFolder(journals.path());
        const RecoveryReport rec = later.recoverInterruptedPasses();
        EXPECT_TRUE(rec.unresolved.empty()) << c.what << ": " << rec.unresolved.front();
        EXPECT_TRUE(rec.setAside.empty()) << c.what;
        std::map<std::string, std::string> to;
        for (const auto& [n, content] : before)
            to[n] =
                encodeName(c.caseChange ? ConvertName(decodeName(n), {CaseMode::Upper, true, true})
                                        : ChangeFileExt(decodeName(n), U"bak"));
        expectEachOnce(before, to, d, {}, c.what);
        EXPECT_EQ(test::snapshot(d).size(), before.size()) << c.what;
        EXPECT_TRUE(namesIn(journals.path()).empty()) << c.what;
    }
}

// ---------------------------------------------------------------------------
// Undo on drives that number their files anew (FUSE: after a remount, and
// whenever the kernel forgets an inode): exFAT, FAT and sshfs mounted again
// between the pass and undo, the pass kept in the history on disk and read
// back as a program started again would. Each file is known by its size and
// time, and a different file put at a renamed name is left and named.
TEST(UnstableNumbers, UndoAfterTheDriveForgotItsNumbers) {
    if (const std::string why = FuseImage::unavailable(); !why.empty())
        GTEST_SKIP() << why;
    enum class Drive { ExFat, Fat, Sshfs };
    std::string shown;
    for (Drive drive : {Drive::ExFat, Drive::Fat, Drive::Sshfs}) {
        const std::string where = drive == Drive::ExFat ? "exfat"
                                  : drive == Drive::Fat ? "fat"
                                                        : "sshfs";
        if (drive == Drive::Sshfs && !test::SshfsMount::unavailable().empty())
            continue;
        TempFolder mountPoint, journals, remote;
        std::unique_ptr<FuseImage> image;
        std::unique_ptr<test::SshfsMount> ssh;
        if (drive == Drive::Sshfs) {
            ssh = std::make_unique<test::SshfsMount>(remote.path(), mountPoint.path());
            ASSERT_TRUE(ssh->mounted()) << ssh->failure();
        } else {
            image = std::make_unique<FuseImage>(drive == Drive::ExFat ? FuseImage::Kind::ExFat
                                                                      : FuseImage::Kind::Fat,
                                                mountPoint.path());
            ASSERT_TRUE(image->mounted()) << image->failure();
        }
        const std::string d = mountPoint.path();
        for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"})
            test::writeFile(d, n, std::string("content of ") + n);
        // Files of long ago, as a user's are: FAT through FUSE gives each the
        // time of its rename, which shows once the drive is mounted anew.
        const timespec longAgo[2] = {{1'500'000'000, 0}, {1'500'000'000, 0}};
        for (const char* n : {"a.txt", "b.txt", "c.txt", "d.txt"})
            ASSERT_EQ(::utimensat(AT_FDCWD, (d + "/" + n).c_str(), longAgo, 0), 0) << where;
        ASSERT_TRUE(image ? image->remount() : ssh->remount()) << where;
        PosixFileSystem fs;
        fs.setJournalFolder(journals.path());
        RealList list(fs, d);
        list.selectAll();
        const Snapshot before = test::snapshot(d);
        const PassResult pass = plannedPass(list, fs, extensionTool(U"bak"));
        ASSERT_FALSE(pass.failure) << where;
        const std::int64_t ended = std::time(nullptr);
        HistoryRecord kept = historyRecordOf(pass, *fs.folderId(d), "扩展名", ended, false);
        ASSERT_TRUE(saveHistoryRecord(journals.path() + "/history", kept, ended).ok()) << where;
        // Another file of the same size put at a renamed name, with another
        // time: not the file renamed.
        ::unlink((d + "/a.bak").c_str());
        test::writeFile(d, "a.bak", "content of z.txt");
        const timespec old[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (d + "/a.bak").c_str(), old, 0), 0) << where;
        ASSERT_TRUE(image ? image->remount() : ssh->remount()) << where;
        shown += where + " ";
        PosixFileSystem afterwards;
        afterwards.setJournalFolder(journals.path());
        RealList again(afterwards, d);
        const auto read = readHistoryFile(journals.path() + "/history", kept.name);
        ASSERT_TRUE(read) << where;
        UndoHistory history;
        history.record(passOfRecord(*read));
        const PassResult r = history.undoLast(again, afterwards);
        EXPECT_FALSE(r.failure) << where << ": " << encodeName(r.failure->oldName);
        ASSERT_EQ(r.unusual.size(), 1u) << where;
        EXPECT_EQ(r.unusual[0].oldName, U"a.bak") << where;
        EXPECT_EQ(r.unusual[0].left, LeftReason::NotThatFile) << where;
        EXPECT_EQ(r.renamed, 3) << where; // d, c and b went back
        Snapshot expected = before;
        expected.erase("a.txt");
        expected["a.bak"] = "content of z.txt";
        EXPECT_EQ(test::snapshot(d), expected) << where;
    }
    std::printf("undone after the drive forgot its numbers: %s\n", shown.c_str());
}

// ---------------------------------------------------------------------------
// A recovery that runs while passes start (another window starting, a mount
// change) never takes a journal being born for an abandoned one.
TEST(JournalRace, ARecoveryBesideStartingPassesNeverLosesTheirJournals) {
    TempFolder d, journals;
    test::writeFile(d.path(), "a.txt", "A");
    std::atomic<bool> done{false};
    std::atomic<int> recovered{0};
    std::thread recovering([&] {
        PosixFileSystem other;
        other.setJournalFolder(journals.path());
        while (!done) {
            const RecoveryReport r = other.recoverInterruptedPasses();
            recovered += static_cast<int>(r.setAside.size() + r.unresolved.size()) + r.restored;
        }
    });
    int lost = 0, refused = 0;
    for (int round = 0; round < 400; ++round) {
        PassJournal j;
        if (!PassJournal::begin(journals.path(), d.path(), {{"a.txt", "a.bak"}}, j).ok()) {
            ++refused; // its unfinished file taken away under it
            continue;
        }
        const auto names = namesIn(journals.path());
        lost += std::count_if(names.begin(), names.end(), [](const std::string& n) {
                    return n.size() > 8 && n.compare(n.size() - 8, 8, ".journal") == 0;
                }) != 1;
        EXPECT_TRUE(j.started("a.txt", "a.bak").ok());
    }
    done = true;
    recovering.join();
    EXPECT_EQ(lost, 0) << "journals taken away while their pass ran";
    EXPECT_EQ(refused, 0) << "journals taken away while they were written";
    EXPECT_EQ(recovered, 0);
    EXPECT_TRUE(namesIn(journals.path()).empty());
}

// ---------------------------------------------------------------------------
// A state folder that fills up during the pass: the mark of the next rename
// cannot be written, so that rename is not made; what was renamed stays so.
TEST(Markers, AFullStateFolderStopsThePassBeforeItsRename) {
    TempFolder d, state;
    const int code = inChild([&] {
        if (!test::mountPrivateTmpfs(state.path(), "size=64k,mode=0700"))
            return 77;
        for (int i = 0; i < 300; ++i)
            test::writeFile(d.path(), "file " + std::to_string(i) + ".txt", std::to_string(i));
        const Snapshot before = test::snapshot(d.path());
        class Fs : public PosixFileSystem {
        public:
            std::string fill;
            bool filled = false;
            FsStatus rename(const std::string& f, const std::string& o,
                            const std::string& n) override {
                if (!filled) { // the plan is written: now the drive fills up
                    filled = true;
                    const int fd = ::open(fill.c_str(), O_CREAT | O_WRONLY, 0600);
                    const std::string block(4096, 'x');
                    while (::write(fd, block.data(), block.size()) > 0) {
                    }
                    const std::string byte(1, 'x');
                    while (::write(fd, byte.data(), 1) > 0) {
                    }
                    ::close(fd);
                }
                return PosixFileSystem::rename(f, o, n);
            }
        } fs;
        fs.fill = state.path() + "/filler";
        fs.setJournalFolder(state.path());
        fs.setNoReplaceUnsupported(true);
        RealList list(fs, d.path());
        list.selectAll();
        const PassResult r = plannedPass(list, fs, extensionTool(U"bak"));
        if (!r.failure || r.failure->fs.error != FsError::JournalUnwritable)
            return 3;
        if (r.renamed >= 300)
            return 4;
        std::map<std::string, std::string> done;
        for (const RenameRecord& rec : r.done)
            done[rec.oldName] = rec.newName;
        if (test::snapshot(d.path()) != test::renamed(before, done))
            return 5;
        return namesIn(state.path()) == std::vector<std::string>{"filler"} ? 0 : 6;
    });
    if (code == 77)
        GTEST_SKIP() << "user namespaces are not available here";
    EXPECT_EQ(code, 0);
}

// A journal of a pass cut off with its fourth file under two names, then
// damaged as a power cut or a bad sector would: cut at every byte, and each
// byte flipped. Recovery never moves a file to a name the pass did not give
// it, never leaves a file doubled without naming it, and never removes a
// journal it did not act on without saying so.
TEST(Markers, TornAndFlippedJournalsNeverPointAtTheWrongFile) {
    const std::vector<std::string> names{"a.txt", "b.txt", "c.txt", "d.txt", "e.txt", "f.txt"};
    std::map<std::string, std::string> to;
    for (const std::string& n : names)
        to[n] = n.substr(0, 2) + "bak";
    TempFolder d, journals;
    Snapshot before;
    for (const std::string& n : names)
        before[n] = "content of " + n;
    // The state the cut pass left: three renamed, the fourth linked (or its
    // placeholder claimed), the journal with its marks.
    auto lay = [&](bool placeholder) {
        for (const std::string& n : namesIn(d.path()))
            ::unlink((d.path() + "/" + n).c_str());
        for (const auto& [n, content] : before)
            test::writeFile(d.path(), n, content);
        for (int i = 0; i < 3; ++i)
            ::rename((d.path() + "/" + names[std::size_t(i)]).c_str(),
                     (d.path() + "/" + to[names[std::size_t(i)]]).c_str());
        if (placeholder)
            test::writeFile(d.path(), "d.bak", "");
        else
            ::link((d.path() + "/d.txt").c_str(), (d.path() + "/d.bak").c_str());
    };
    std::string whole;
    {
        const int code = inChild([&] {
            std::vector<PlannedRename> plan;
            for (const std::string& n : names)
                plan.push_back({n, to[n]});
            PassJournal j;
            if (!PassJournal::begin(journals.path(), d.path(), plan, j).ok())
                return 3;
            for (int i = 0; i < 4; ++i)
                if (!j.started(names[std::size_t(i)], to[names[std::size_t(i)]]).ok())
                    return 4;
            ::_exit(0); // cut off: the journal stays
        });
        ASSERT_EQ(code, 0);
        const auto files = namesIn(journals.path());
        ASSERT_EQ(files.size(), 1u);
        whole = readAll(journals.path() + "/" + files[0]);
        ::unlink((journals.path() + "/" + files[0]).c_str());
    }
    int setAside = 0, settled = 0, told = 0;
    auto attempt = [&](const std::string& bytes, bool placeholder, const std::string& where) {
        lay(placeholder);
        for (const std::string& n : namesIn(journals.path()))
            ::unlink((journals.path() + "/" + n).c_str());
        {
            std::ofstream out(journals.path() + "/pass-1-1.journal", std::ios::binary);
            out << bytes;
        }
        PosixFileSystem fs;
        fs.setJournalFolder(journals.path());
        const RecoveryReport r = fs.recoverInterruptedPasses();
        expectEachOnce(before, to, d.path(), r.unresolved, where, !r.setAside.empty());
        const bool clean = test::snapshot(d.path()).size() == before.size();
        const bool journalGone = namesIn(journals.path()).empty();
        // Removed only when the folder is clean; otherwise kept and told.
        EXPECT_TRUE(clean || !journalGone) << where;
        EXPECT_TRUE(clean || !r.unresolved.empty() || !r.setAside.empty()) << where;
        if (!r.setAside.empty()) {
            ++setAside;
            EXPECT_FALSE(journalGone) << where << ": set aside, yet gone";
        }
        settled += clean && journalGone;
        told += !r.unresolved.empty();
    };
    for (bool placeholder : {false, true}) {
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            attempt(whole.substr(0, cut), placeholder, "cut at " + std::to_string(cut));
            if (HasFatalFailure())
                return;
        }
        for (std::size_t at = 0; at < whole.size(); ++at) {
            std::string flipped = whole;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
            attempt(flipped, placeholder, "byte " + std::to_string(at) + " flipped");
            if (HasFatalFailure())
                return;
        }
    }
    std::printf("journal of %zu bytes: settled %d, set aside %d, left and named %d\n", whole.size(),
                settled, setAside, told);
    EXPECT_GT(settled, 0);
    EXPECT_GT(setAside, 0);
}

// ---------------------------------------------------------------------------
// Journals no one can turn against the user: names that lead out of the
// folder, a folder that is not the one renamed in, a journal or a state
// folder someone else could have written. None is acted on.
TEST(PlantedJournals, NothingOutsideThePlannedFolderIsTouched) {
    struct Case {
        const char* what;
        std::vector<PlannedRename> plan;
        std::function<void(const std::string& folder, const std::string& state)> after;
        bool told; // set aside and reported, rather than passed over in silence
    };
    const std::vector<Case> cases{
        {"a name with a slash", {{"a.txt", "../victim/a.txt"}}, nullptr, true},
        {"a name that is ..", {{"..", "x"}}, nullptr, true},
        {"another folder at the path",
         {{"a.txt", "a.bak"}},
         [](const std::string& folder, const std::string&) {
             ::rename(folder.c_str(), (folder + ".moved").c_str());
             ::mkdir(folder.c_str(), 0755);
             test::writeFile(folder, "a.txt", "content of a.txt");
             ::link((folder + "/a.txt").c_str(), (folder + "/a.bak").c_str());
         },
         true},
        {"a state folder others may write",
         {{"a.txt", "a.bak"}},
         [](const std::string&, const std::string& state) { ::chmod(state.c_str(), 0777); },
         false},
        {"a journal owned by another user",
         {{"a.txt", "a.bak"}},
         [](const std::string&, const std::string& state) {
             for (const std::string& n : namesIn(state))
                 if (::chown((state + "/" + n).c_str(), 65534, 65534) != 0)
                     std::abort();
         },
         false},
    };
    for (const Case& c : cases) {
        if (std::string(c.what).find("another user") != std::string::npos && ::geteuid() != 0)
            continue; // only root can give a file away
        TempFolder root, journals;
        const std::string folder = root.path() + "/shown", victim = root.path() + "/victim";
        ::mkdir(folder.c_str(), 0755);
        ::mkdir(victim.c_str(), 0755);
        test::writeFile(folder, "a.txt", "content of a.txt");
        ::link((folder + "/a.txt").c_str(), (folder + "/a.bak").c_str());
        test::writeFile(victim, "a.txt", "someone's");
        const std::string state = journals.path() + "/namewright";
        ASSERT_EQ(inChild([&] {
                      PassJournal j;
                      if (!PassJournal::begin(state, folder, c.plan, j).ok())
                          return 3;
                      if (!j.started(c.plan[0].oldName, c.plan[0].newName).ok())
                          return 4;
                      ::_exit(0); // cut off: the journal stays
                  }),
                  0)
            << c.what;
        if (c.after)
            c.after(folder, state);
        const Snapshot here = test::snapshot(folder), there = test::snapshot(victim);
        PosixFileSystem fs;
        fs.setJournalFolder(state);
        const RecoveryReport r = fs.recoverInterruptedPasses();
        EXPECT_EQ(r.restored, 0) << c.what;
        EXPECT_EQ(test::snapshot(folder), here) << c.what;
        EXPECT_EQ(test::snapshot(victim), there) << c.what;
        EXPECT_EQ(r.setAside.size(), c.told ? 1u : 0u) << c.what;
        EXPECT_EQ(namesIn(state).size(), 1u) << c.what << ": the journal is kept";
        ::chmod(state.c_str(), 0700);
    }
}

TEST(PlantedJournals, NoHomeMeansNoSharedStateFolder) {
    const int code = inChild([] {
        ::unsetenv("XDG_STATE_HOME");
        ::setenv("HOME", "relative/home", 1);
        const std::string f = journalFolder();
        return f.rfind("/tmp", 0) == 0 || (!f.empty() && f[0] != '/') ? 1 : 0;
    });
    EXPECT_EQ(code, 0);
}

} // namespace
} // namespace nw
