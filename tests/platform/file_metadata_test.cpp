// What files hold, read from photos, songs and videos the tests tag with the
// libraries themselves: each field, dates as recorded, legacy tags judged
// over the folder, damaged files, and the cache.
#include "platform/file_metadata.h"
#include "platform/name_codec.h"
#include "platform/posix_file_system.h"
#include "platform/sort_order.h"
#include "tests/support/folder_snapshot.h"
#include "tests/support/media_files.h"
#include "tests/support/sample_names.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace nw {
namespace {

using test::TempFolder;

// The time zone for the length of a test.
struct TimeZone {
    explicit TimeZone(const char* tz) {
        if (const char* old = std::getenv("TZ"))
            m_old = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~TimeZone() {
        if (m_old)
            ::setenv("TZ", m_old->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }
    std::optional<std::string> m_old;
};

std::string gbk(const std::u32string& s) {
    return test::encodeWithIcu(NameEncoding::Gbk, s).value_or("not GBK");
}
std::string big5(const std::u32string& s) {
    return test::encodeWithIcu(NameEncoding::Big5, s).value_or("not Big5");
}

FileFacts settled(const std::string& path) {
    const RawFacts raw = readFileFacts(path);
    return settleFacts(raw, judgeTagCodePage({&raw}));
}

// Each kind of file gives its fields; a photo's date is the camera's own
// whatever this computer's time zone, a video's (UTC) is shown in local time.
TEST(FileFacts, EachKindGivesItsFields) {
    TempFolder dir;
    const TimeZone tz("Asia/Shanghai");
    const std::string jpeg = dir.path() + "/IMG.JPG";
    test::makeJpeg(jpeg, {{"Exif.Photo.DateTimeOriginal", "2024:05:01 12:34:56"},
                          {"Exif.Photo.SubSecTimeOriginal", "25"},
                          {"Exif.Image.Make", "Canon"},
                          {"Exif.Image.Model", "Canon EOS R5"}});
    FileFacts f = settled(jpeg);
    EXPECT_EQ(f.taken, (LocalDateTime{2024, 5, 1, 12, 34, 56, 250}));
    EXPECT_EQ(f.camera, U"Canon EOS R5");
    EXPECT_EQ(f.width, 16);
    EXPECT_EQ(f.height, 12);
    {
        const TimeZone ny("America/New_York");
        EXPECT_EQ(settled(jpeg).taken, (LocalDateTime{2024, 5, 1, 12, 34, 56, 250}));
    }

    // A HEIC made of 64 x 64 tiles: the picture's own size.
    const std::string heic = dir.path() + "/photo.heic";
    std::filesystem::copy_file(test::mediaSample("photo.heic"), heic);
    f = settled(heic);
    EXPECT_EQ(f.taken, (LocalDateTime{2024, 5, 1, 12, 34, 56, 250}));
    EXPECT_EQ(f.camera, U"Apple iPhone 15");
    EXPECT_EQ(f.width, 16);
    EXPECT_EQ(f.height, 12);

    // 04:34:56 UTC is 12:34:56 in Beijing.
    for (const char* clip : {"clip.mp4", "clip.mkv"}) {
        const std::string path = dir.path() + "/" + clip;
        std::filesystem::copy_file(test::mediaSample(clip), path);
        f = settled(path);
        EXPECT_EQ(f.taken, (LocalDateTime{2024, 5, 1, 12, 34, 56, -1})) << clip;
        EXPECT_EQ(f.width, 16) << clip;
    }

    const std::map<std::string, std::string> song{{"ARTIST", "周杰倫"},  {"TITLE", "晴天"},
                                                  {"ALBUM", "葉惠美"},   {"TRACKNUMBER", "3/10"},
                                                  {"DISCNUMBER", "1/2"}, {"DATE", "2003"}};
    test::makeFlac(dir.path() + "/a.flac", song);
    test::makeM4a(dir.path() + "/a.m4a", song);
    test::makeMp3(dir.path() + "/a.mp3", {{{"TPE1", "周杰倫"},
                                           {"TIT2", "晴天"},
                                           {"TALB", "葉惠美"},
                                           {"TRCK", "3/10"},
                                           {"TPOS", "1/2"},
                                           {"TDRC", "2003"}},
                                          {},
                                          {}});
    for (const char* name : {"a.flac", "a.m4a", "a.mp3"}) {
        SCOPED_TRACE(name);
        const RawFacts raw = readFileFacts(dir.path() + "/" + name);
        ASSERT_EQ(raw.status, RawFacts::Status::Read);
        EXPECT_EQ(raw.facts.artist, U"周杰倫");
        EXPECT_EQ(raw.facts.title, U"晴天");
        EXPECT_EQ(raw.facts.album, U"葉惠美");
        EXPECT_EQ(raw.facts.track, 3);
        EXPECT_EQ(raw.facts.disc, 1);
        EXPECT_EQ(raw.facts.year, 2003);
        EXPECT_TRUE(raw.artistBytes.empty()); // nothing left to judge
    }

    // Any file has its modification time, in local time.
    test::writeFile(dir.path(), "notes.txt", "x");
    const timeval times[2] = {{1714538096, 0}, {1714538096, 0}}; // 2024-05-01 04:34:56 UTC
    ASSERT_EQ(::utimes((dir.path() + "/notes.txt").c_str(), times), 0);
    f = settled(dir.path() + "/notes.txt");
    EXPECT_EQ(f.modified, (LocalDateTime{2024, 5, 1, 12, 34, 56, -1}));
    EXPECT_FALSE(f.taken);
}

// Files that hold no such field, and files that cannot be read: a photo
// without EXIF is read (and lacks the date); a damaged one is unreadable.
TEST(FileFacts, MissingAndDamaged) {
    TempFolder dir;
    test::makeJpeg(dir.path() + "/plain.jpg");
    test::makeJpeg(dir.path() + "/zero.jpg",
                   {{"Exif.Photo.DateTimeOriginal", "0000:00:00 00:00:00"}});
    test::writeFile(dir.path(), "broken.jpg", "this is not a photo at all");
    test::writeFile(dir.path(), "broken.mp3", std::string(100, 'x'));
    test::writeFile(dir.path(), "broken.mp4", "\x00\x00\x00\x08junk");
    test::makeMp3(dir.path() + "/untagged.mp3", {});
    const RawFacts plain = readFileFacts(dir.path() + "/plain.jpg");
    EXPECT_EQ(plain.status, RawFacts::Status::Read);
    EXPECT_FALSE(plain.facts.taken);
    EXPECT_TRUE(plain.facts.modified);
    EXPECT_FALSE(readFileFacts(dir.path() + "/zero.jpg").facts.taken);
    for (const char* name : {"broken.jpg", "broken.mp3", "broken.mp4", "gone.jpg"})
        EXPECT_EQ(readFileFacts(dir.path() + "/" + name).status, RawFacts::Status::Unreadable)
            << name;
    const RawFacts untagged = readFileFacts(dir.path() + "/untagged.mp3");
    EXPECT_EQ(untagged.status, RawFacts::Status::Read);
    EXPECT_TRUE(untagged.facts.artist.empty());
}

// Latin-1 frames holding GBK, an ID3v1 tag holding Big5: judged over the
// folder's tags together and read as the characters they are; real Latin-1
// stays Latin-1.
TEST(FileFacts, LegacyTagsAreJudgedOverTheFolder) {
    struct Case {
        const char* name;
        std::vector<std::u32string> titles;
        bool v1;
        NameEncoding encoding;
    };
    const std::vector<Case> cases{
        {"gbk", {U"红豆", U"因为爱情", U"传奇", U"容易受伤的女人"}, false, NameEncoding::Gbk},
        {"big5", {U"吻別", U"一千個傷心的理由", U"每天愛你多一些"}, true, NameEncoding::Big5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder dir;
        auto encode = [&c](const std::u32string& s) {
            return c.encoding == NameEncoding::Gbk ? gbk(s) : big5(s);
        };
        std::vector<RawFacts> raws;
        for (std::size_t i = 0; i < c.titles.size(); ++i) {
            const std::string path = dir.path() + "/" + std::to_string(i) + ".mp3";
            test::Mp3Tags tags;
            if (c.v1)
                tags.v1 = {{"artist", encode(U"張學友")}, {"title", encode(c.titles[i])}};
            else
                tags.latin1Frames = {{"TPE1", encode(U"王菲")}, {"TIT2", encode(c.titles[i])}};
            test::makeMp3(path, tags);
            raws.push_back(readFileFacts(path));
        }
        std::vector<const RawFacts*> all;
        for (const RawFacts& r : raws)
            all.push_back(&r);
        const CodePageJudgement j = judgeTagCodePage(all);
        ASSERT_EQ(j.codePage, c.encoding);
        for (std::size_t i = 0; i < raws.size(); ++i) {
            std::optional<NameEncoding> used;
            const FileFacts f = settleFacts(raws[i], j, &used);
            EXPECT_EQ(f.title, c.titles[i]);
            EXPECT_EQ(f.artist, c.v1 ? U"張學友" : U"王菲");
            EXPECT_EQ(used, c.encoding);
        }
    }
    TempFolder dir;
    test::makeMp3(dir.path() + "/l.mp3",
                  {{}, {{"TPE1", "Beyonc\xE9"}, {"TIT2", "D\xE9j\xE0 Vu"}}, {}});
    const RawFacts latin = readFileFacts(dir.path() + "/l.mp3");
    std::optional<NameEncoding> used;
    const FileFacts f = settleFacts(latin, judgeTagCodePage({&latin}), &used);
    EXPECT_EQ(f.title, U"D\u00E9j\u00E0 Vu");
    EXPECT_EQ(f.artist, U"Beyonc\u00E9");
}

// A file read once is not read again until it changes; many files are read
// in the order given, and a cancel stops the reading.
TEST(FileFacts, CacheAndReadingMany) {
    TempFolder dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 40; ++i) {
        paths.push_back(dir.path() + "/" + std::to_string(i) + ".jpg");
        char date[32];
        std::snprintf(date, sizeof date, "2024:05:%02d 10:00:00", i % 28 + 1);
        test::makeJpeg(paths.back(), {{"Exif.Photo.DateTimeOriginal", date}});
    }
    FactsCache cache;
    std::atomic<int> done{0};
    const auto all = readAllFacts(cache, paths, nullptr, &done);
    EXPECT_EQ(done.load(), 40);
    ASSERT_EQ(all.size(), 40U);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(all[std::size_t(i)]->facts.taken->day, i % 28 + 1);
    EXPECT_EQ(cache.get(paths[0]), all[0]); // not read again

    test::makeJpeg(paths[0], {{"Exif.Photo.DateTimeOriginal", "2020:01:02 03:04:05"}});
    const timeval later[2] = {{2000000000, 0}, {2000000000, 0}};
    ASSERT_EQ(::utimes(paths[0].c_str(), later), 0);
    EXPECT_EQ(cache.get(paths[0])->facts.taken->year, 2020);
    EXPECT_EQ(cache.size(), 40U);

    FactsCache fresh;
    const std::atomic<bool> cancel{true};
    const auto none = readAllFacts(fresh, paths, &cancel, nullptr);
    EXPECT_EQ(std::count(none.begin(), none.end(), nullptr), 40);
}

// 排序方式 拍摄日期: by the date taken, files without one after the others
// (by name), and backwards.
TEST(FileFacts, SortedByDateTaken) {
    TempFolder dir;
    const std::vector<std::pair<std::string, std::string>> photos{{"a.jpg", "2024:05:03 10:00:00"},
                                                                  {"b.jpg", ""},
                                                                  {"c.jpg", "2024:05:01 10:00:00"},
                                                                  {"d.txt", ""},
                                                                  {"e.jpg", "2024:05:02 10:00:00"}};
    std::vector<ListedFile> files;
    for (const auto& [name, date] : photos) {
        if (name.ends_with(".txt"))
            test::writeFile(dir.path(), name, "x");
        else if (date.empty())
            test::makeJpeg(dir.path() + "/" + name);
        else
            test::makeJpeg(dir.path() + "/" + name, {{"Exif.Photo.DateTimeOriginal", date}});
        files.push_back(ListedFile{name, decodeName(name)});
    }
    PosixFileSystem fs;
    auto names = [&files] {
        std::string out;
        for (const ListedFile& f : files)
            out += f.bytes + " ";
        return out;
    };
    sortListed(fs, dir.path(), files, {SortKey::Taken, false});
    EXPECT_EQ(names(), "c.jpg e.jpg a.jpg b.jpg d.txt ");
    sortListed(fs, dir.path(), files, {SortKey::Taken, true});
    EXPECT_EQ(names(), "d.txt b.jpg a.jpg e.jpg c.jpg ");
}

} // namespace
} // namespace nw
