// Renaming on FUSE drives made from image files, as a user's exFAT or FAT
// stick or NTFS disk is mounted: none of them has RENAME_NOREPLACE, two
// refuse hard links, two ignore letter case. Nothing is ever replaced.
#include "core/convert_name.h"
#include "core/extension.h"
#include "core/rename_pass.h"
#include "platform/posix_file_system.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/fuse_image.h"
#include "tests/support/real_list.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace nw {
namespace {

using test::FuseImage;
using test::Snapshot;

class FuseDrives : public ::testing::TestWithParam<FuseImage::Kind> {
protected:
    void SetUp() override {
        if (const std::string why = FuseImage::unavailable(); !why.empty())
            GTEST_SKIP() << why;
        FuseImage::Seed seed{"many", {}};
        for (int i = 0; i < 1000; ++i)
            seed.files["file " + std::to_string(i) + ".txt"] = "content " + std::to_string(i);
        image = std::make_unique<FuseImage>(GetParam(), mountPoint.path(), seed);
        ASSERT_TRUE(image->mounted()) << image->failure();
    }
    void TearDown() override { image.reset(); }

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
    const Snapshot before = test::snapshot(d);

    // An extension change and a change of letter case only.
    PassResult r = pass(d, {{"report.doc", "report.txt"}, {"photo.jpg", "PHOTO.JPG"}});
    ASSERT_FALSE(r.failure) << static_cast<int>(r.failure->fs.error) << " errno "
                            << r.failure->fs.sysError;
    EXPECT_EQ(r.renamed, 2);
    EXPECT_NE(fs.methodFor(d), RenameMethod::NoReplace);
    const Snapshot renamed =
        test::renamed(before, {{"report.doc", "report.txt"}, {"photo.jpg", "PHOTO.JPG"}});
    EXPECT_EQ(test::snapshot(d), renamed);

    // Onto a name that exists (on exFAT and FAT, in any letter case):
    // refused with the reason.
    std::vector<std::string> taken{"taken.txt"};
    if (GetParam() != FuseImage::Kind::Ntfs)
        taken.push_back("TAKEN.TXT");
    for (const std::string& target : taken) {
        r = pass(d, {{"other.txt", target}});
        ASSERT_TRUE(r.failure) << target;
        EXPECT_EQ(r.failure->fs.error, FsError::Exists) << target;
        EXPECT_EQ(test::snapshot(d), renamed) << target;
    }
}

TEST_P(FuseDrives, APassOverAThousandFiles) {
    const std::string d = mountPoint.path() + "/many";
    std::map<std::string, std::string> renames;
    for (int i = 0; i < 1000; ++i)
        renames["file " + std::to_string(i) + ".txt"] = "File_" + std::to_string(i) + ".TXT";
    const Snapshot before = test::snapshot(d);
    ASSERT_EQ(before.size(), 1000u);
    const PassResult r = pass(d, renames);
    ASSERT_FALSE(r.failure) << encodeName(r.failure->oldName) << " errno "
                            << r.failure->fs.sysError;
    EXPECT_EQ(r.renamed, 1000);
    EXPECT_EQ(test::snapshot(d), test::renamed(before, renames));
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
