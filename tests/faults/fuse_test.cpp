// Renaming on FUSE drives made from image files, as a user's exFAT or FAT
// stick or NTFS disk is mounted: none of them has RENAME_NOREPLACE, two
// refuse hard links, two ignore letter case. Nothing is ever replaced.
#include "core/convert_name.h"
#include "core/dry_run.h"
#include "core/extension.h"
#include "core/rename_pass.h"
#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/fuse_image.h"
#include "tests/support/real_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace nw {
namespace {

// The folder once FUSE has let go of it. A file closed and removed at once
// (the drive's probe does that) may be renamed ".fuse_hiddenNNN" by libfuse
// until the kernel's late release of it arrives, and then it goes by itself.
test::Snapshot settled(const std::string& folder) {
    test::Snapshot s = test::snapshot(folder);
    for (int i = 0; i < 100; ++i) {
        const bool hidden = std::any_of(s.begin(), s.end(), [](const auto& e) {
            return e.first.rfind(".fuse_hidden", 0) == 0;
        });
        if (!hidden)
            break;
        ::usleep(20000);
        s = test::snapshot(folder);
    }
    return s;
}

using test::FuseImage;
using test::Snapshot;

class FuseDrives : public ::testing::TestWithParam<FuseImage::Kind> {
protected:
    void SetUp() override {
        if (const std::string why = FuseImage::unavailable(); !why.empty())
            GTEST_SKIP() << why;
        FuseImage::Seed seed{"many", {}};
        for (int i = 0; i < manyFiles(); ++i)
            seed.files["file " + std::to_string(i) + ".txt"] = "content " + std::to_string(i);
        image = std::make_unique<FuseImage>(GetParam(), mountPoint.path(), seed);
        ASSERT_TRUE(image->mounted()) << image->failure();
    }
    void TearDown() override { image.reset(); }

    // fusefat reads the whole folder for each name it looks up: a pass over
    // a thousand files there takes minutes, over 250 seconds.
    int manyFiles() const { return GetParam() == FuseImage::Kind::Fat ? 250 : 1000; }

    // Renames the listed files by the table (old name -> new name), in list
    // order; the names not in the table are not selected.
    PassResult pass(const std::string& folder, const std::map<std::string, std::string>& renames) {
        test::RealList list(fs, folder);
        for (int i = 0; i < list.ListCount(); ++i)
            if (renames.count(encodeName(list.List(i))))
                list.selected.insert(i);
        RenameTool tool;
        tool.transform = [&](int, const std::u32string& n) {
            return TransformResult::of(decodeName(renames.at(encodeName(n))));
        };
        return RunRenamePass(list, fs, tool);
    }

    test::TempFolder mountPoint;
    std::unique_ptr<FuseImage> image;
    PosixFileSystem fs;
};

TEST_P(FuseDrives, RenamesWithoutEverReplacing) {
    const std::string d = mountPoint.path();
    for (const char* n : {"report.doc", "photo.jpg", "taken.txt", "other.txt"})
        test::writeFile(d, n, std::string("content of ") + n);
    const Snapshot before = settled(d);

    // An extension change and a change of letter case only.
    PassResult r = pass(d, {{"report.doc", "report.txt"}, {"photo.jpg", "PHOTO.JPG"}});
    ASSERT_FALSE(r.failure) << static_cast<int>(r.failure->fs.error) << " errno "
                            << r.failure->fs.sysError;
    EXPECT_EQ(r.renamed, 2);
    EXPECT_NE(fs.methodFor(d), RenameMethod::NoReplace);
    const Snapshot renamed =
        test::renamed(before, {{"report.doc", "report.txt"}, {"photo.jpg", "PHOTO.JPG"}});
    EXPECT_EQ(settled(d), renamed);

    // Onto a name that exists (on exFAT and FAT, in any letter case):
    // refused with the reason.
    std::vector<std::string> taken{"taken.txt"};
    if (GetParam() != FuseImage::Kind::Ntfs)
        taken.push_back("TAKEN.TXT");
    for (const std::string& target : taken) {
        r = pass(d, {{"other.txt", target}});
        ASSERT_TRUE(r.failure) << target;
        EXPECT_EQ(r.failure->fs.error, FsError::Exists) << target;
        EXPECT_EQ(settled(d), renamed) << target;
    }
}

TEST_P(FuseDrives, APassOverManyFiles) {
    const std::string d = mountPoint.path() + "/many";
    std::map<std::string, std::string> renames;
    for (int i = 0; i < manyFiles(); ++i)
        renames["file " + std::to_string(i) + ".txt"] = "File_" + std::to_string(i) + ".TXT";
    const Snapshot before = settled(d);
    ASSERT_EQ(before.size(), std::size_t(manyFiles()));
    const PassResult r = pass(d, renames);
    ASSERT_FALSE(r.failure) << encodeName(r.failure->oldName) << " errno "
                            << r.failure->fs.sysError;
    EXPECT_EQ(r.renamed, manyFiles());
    EXPECT_EQ(settled(d), test::renamed(before, renames));
}

// Random folders, tools and selections on the drive: the dry run answers for
// every entry exactly as the pass then does, names that differ only in
// letter case included, and the folder ends as the dry run said.
TEST_P(FuseDrives, ThePreviewAnswersAsTheDriveDoes) {
    static const char* const pool[] = {"a.txt",     "A.TXT",     "b.txt", "B.Txt",
                                       "photo.jpg", "Photo.JPG", "c.doc", "notes",
                                       "NOTES",     "x.txt",     "X.bak", "report.TXT"};
    std::mt19937 rng(20261207u + static_cast<unsigned>(GetParam()));
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    int stops = 0;
    for (int round = 0; round < 16; ++round) {
        const std::string d = mountPoint.path() + "/r" + std::to_string(round);
        ASSERT_EQ(::mkdir(d.c_str(), 0755), 0);
        for (int k = 0; k < 7; ++k) {
            // On a drive that ignores case a second spelling is the same file.
            const std::string n = pool[pick(12)];
            const int fd = ::open((d + "/" + n).c_str(), O_CREAT | O_EXCL | O_WRONLY, 0644);
            if (fd >= 0) {
                const std::string content = "content of " + n;
                EXPECT_EQ(::write(fd, content.data(), content.size()), ssize_t(content.size()));
                ::close(fd);
            }
        }
        const int tool = pick(4);
        const std::u32string target = decodeName(pool[pick(12)]);
        auto make = [&](FileSystem&) {
            RenameTool t;
            t.transform = [&, tool](int, const std::u32string& n) {
                switch (tool) {
                case 0: return TransformResult::of(ConvertName(n, {CaseMode::Upper, true, true}));
                case 1: return TransformResult::of(ConvertName(n, {CaseMode::Lower, true, true}));
                case 2: return TransformResult::of(ChangeFileExt(n, U"TXT"));
                default: return TransformResult::of(target);
                }
            };
            return t;
        };
        test::RealList list(fs, d);
        for (int i = 0; i < list.ListCount(); ++i)
            if (pick(4) != 0)
                list.selected.insert(i);
        const Preview preview = DryRun(list, fs, make);

        std::vector<PassStep> steps;
        RenameTool real = make(fs);
        real.observe = [&](const PassStep& st) { steps.push_back(st); };
        const std::set<int> selected = list.selected;
        const Snapshot before = settled(d);
        const PassResult r = RunRenamePass(list, fs, real);

        const std::string where =
            "round " + std::to_string(round) + ", tool " + std::to_string(tool);
        EXPECT_EQ(preview.pass.outcome, r.outcome) << where;
        EXPECT_EQ(preview.pass.failure.has_value(), r.failure.has_value()) << where;
        if (preview.pass.failure && r.failure) {
            EXPECT_EQ(preview.pass.failure->index, r.failure->index) << where;
            EXPECT_EQ(preview.pass.failure->fs.error, r.failure->fs.error) << where;
        }
        stops += r.failure.has_value();
        std::size_t row = 0;
        std::map<std::string, std::string> renamed;
        for (const PassStep& st : steps) {
            ASSERT_LT(row, preview.rows.size()) << where;
            const PreviewRow& p = preview.rows[row++];
            EXPECT_EQ(p.index, st.index) << where;
            const PreviewKind expected[] = {PreviewKind::Rename, PreviewKind::Unchanged,
                                            PreviewKind::Left, PreviewKind::Exists,
                                            PreviewKind::Stop};
            EXPECT_EQ(p.kind, expected[static_cast<int>(st.kind)])
                << where << ": " << encodeName(p.oldName) << " -> " << encodeName(p.newName);
            if (p.kind == PreviewKind::Rename)
                renamed[encodeName(p.oldName)] = encodeName(p.newName);
        }
        EXPECT_EQ(settled(d), test::renamed(before, renamed)) << where;
    }
    // The rounds are meant to meet names taken in other letters.
    EXPECT_GT(stops, 0);
}

INSTANTIATE_TEST_SUITE_P(Images, FuseDrives,
                         ::testing::Values(FuseImage::Kind::ExFat, FuseImage::Kind::Fat,
                                           FuseImage::Kind::Ntfs),
                         [](const auto& param) {
                             switch (param.param) {
                             case FuseImage::Kind::ExFat: return std::string("exfat");
                             case FuseImage::Kind::Fat: return std::string("fat");
                             case FuseImage::Kind::Ntfs: return std::string("ntfs");
                             }
                             return std::string();
                         });

} // namespace
} // namespace nw
