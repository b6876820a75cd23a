// Names from what files hold: photos renamed by the date taken against
// exiftool doing the same, songs' tags read against a plain TagLib loop, the
// window answering while they are read, and the memory their facts take.
#include "bench/bench.h"

#include "app/facts_page.h"
#include "platform/file_metadata.h"
#include "tests/support/media_files.h"

#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <malloc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace nw::bench {
namespace {

// n photos, each taken a second after the one before.
Folder makePhotos(int n) {
    auto d = std::make_unique<nw::test::TempFolder>();
    for (int i = 0; i < n; ++i) {
        char date[32];
        std::snprintf(date, sizeof date, "2024:05:%02d %02d:%02d:%02d", 1 + i / 86400,
                      i / 3600 % 24, i / 60 % 60, i % 60);
        nw::test::makeJpeg(d->path() + "/IMG_" + std::to_string(i) + ".jpg",
                           {{"Exif.Photo.DateTimeOriginal", date}});
    }
    return d;
}

std::string expectedName(int i) {
    char name[48];
    std::snprintf(name, sizeof name, "2024-05-%02d %02d%02d%02d.jpg", 1 + i / 86400, i / 3600 % 24,
                  i / 60 % 60, i % 60);
    return name;
}

bool namedByDate(const std::string& folder, int n) {
    const std::set<std::string> names = namesIn(folder);
    const bool right = static_cast<int>(names.size()) == n && names.count(expectedName(0)) == 1 &&
                       names.count(expectedName(n - 1)) == 1;
    if (!right)
        std::fprintf(stderr, "photos after the pass: %zu names, the first %s\n", names.size(),
                     names.empty() ? "" : names.begin()->c_str());
    return right;
}

// The bytes the heap has handed out and not taken back (the resident size
// would not grow where the heap reuses what earlier rows freed).
std::size_t heapInUse() { return mallinfo2().uordblks; }

} // namespace

void benchFacts(nw::FileSystem& fs, int files, int renames, const std::string& tableFile) {
    const Folder programFolder = programFolderWithTable(tableFile);
    QStringList messages;
    nw::app::setMessageHook([&](nw::app::MessageKind, const QString& t) { messages << t; });
    bool right = true;
    const int photos = std::min(renames, 5000);

    // Page "文件信息" renaming photos to their date taken against exiftool's
    // '-FileName<DateTimeOriginal' over a copy of the same folder.
    nw::app::Form1 form(fs, programFolder->path());
    form.show();
    QApplication::processEvents();
    std::vector<double> ratios, gaps;
    for (int round = 0; round < kRuns; ++round) {
        const Folder ours = makePhotos(photos);
        const Folder theirs = std::make_unique<nw::test::TempFolder>();
        std::filesystem::copy(ours->path(), theirs->path(),
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
        form.txtPath->setText(QString::fromStdString(ours->path()));
        form.cmdGoPath_Click();
        form.SSTab1->setCurrentIndex(4);
        control<QLineEdit>(form, "txtTemplate")
            ->setText(QStringLiteral("{拍摄日期:yyyy-MM-dd HHmmss}"));
        form.File1->selectAllEntries();
        QApplication::processEvents();
        nw::sharedFactsCache().clear(); // read from the files, not from the last round
        double mine = 0;
        const qint64 gap = longestGapMs([&] {
            mine = seconds([&] {
                control<QPushButton>(form, "cmdFacts")->click();
                QApplication::processEvents();
            });
        });
        gaps.push_back(static_cast<double>(gap));
        const double exiftool = seconds([&] {
            if (runChild({"/usr/bin/exiftool", "-q", "-FileName<DateTimeOriginal", "-d",
                          "%Y-%m-%d %H%M%S%%-c.%%e", theirs->path()}) != 0) {
                std::fprintf(stderr, "exiftool failed\n");
                g_failed = true;
            }
        });
        right = right && namedByDate(ours->path(), photos) && namedByDate(theirs->path(), photos) &&
                messages.isEmpty();
        ratios.push_back(mine / exiftool);
    }
    report("文件信息 {拍摄日期} over " + std::to_string(photos) + " JPEGs / exiftool -FileName<",
           "in-process click", ratios, "<= 0.5");
    report("longest the window waits while they are read and renamed (ms)", "in-process click",
           gaps, "<= 100");

    // Songs' tags: the program's reading (two threads, with its cache's
    // bookkeeping) against TagLib's FileRef over the same files in a loop.
    const Folder songs = std::make_unique<nw::test::TempFolder>();
    std::vector<std::string> paths;
    for (int i = 0; i < photos; ++i) {
        paths.push_back(songs->path() + "/" + std::to_string(i) + ".mp3");
        if (i == 0)
            nw::test::makeMp3(paths[0],
                              {{{"TPE1", "王菲"}, {"TIT2", "红豆"}, {"TALB", "唱游"}}, {}, {}});
        else
            std::filesystem::copy_file(paths[0], paths.back());
    }
    std::vector<double> tagRatios;
    for (int round = 0; round < kRuns; ++round) {
        std::size_t seen = 0;
        const double loop = seconds([&] {
            for (const std::string& p : paths) {
                TagLib::FileRef f(p.c_str(), true, TagLib::AudioProperties::Fast);
                seen += f.tag() ? f.tag()->artist().size() : 0;
            }
        });
        nw::FactsCache cache;
        std::vector<std::shared_ptr<const nw::RawFacts>> read;
        const double mine =
            seconds([&] { read = nw::readAllFacts(cache, paths, nullptr, nullptr); });
        right = right && seen == paths.size() * 2 && read.back() &&
                read.back()->facts.artist == U"王菲";
        tagRatios.push_back(mine / loop);
    }
    report("reading " + std::to_string(photos) + " MP3s' tags / a TagLib FileRef loop",
           "in-process call", tagRatios, "<= 1.5");

    // What the facts of many files take, held in the cache.
    const int many = std::max(files / 5, 1);
    const Folder heap = std::make_unique<nw::test::TempFolder>();
    std::vector<std::string> manyPaths;
    nw::test::makeJpeg(heap->path() + "/0.jpg",
                       {{"Exif.Photo.DateTimeOriginal", "2024:05:01 12:00:00"},
                        {"Exif.Image.Make", "Canon"},
                        {"Exif.Image.Model", "Canon EOS R5"}});
    for (int i = 0; i < many; ++i) {
        manyPaths.push_back(heap->path() + "/" + std::to_string(i) + ".jpg");
        if (i > 0)
            std::filesystem::copy_file(manyPaths[0], manyPaths.back());
    }
    const std::size_t before = heapInUse();
    nw::FactsCache cache;
    nw::readAllFacts(cache, manyPaths, nullptr, nullptr);
    const double mib = static_cast<double>(heapInUse() - before) / (1024.0 * 1024.0);
    char what[120];
    std::snprintf(what, sizeof what, "memory held by %d photos' facts, MiB", many);
    report(what, "in-process call", {mib}, "a figure");

    nw::app::setMessageHook(nullptr);
    if (!right) {
        std::fprintf(stderr, "文件信息: wrong result\n");
        g_failed = true;
    }
}

} // namespace nw::bench
