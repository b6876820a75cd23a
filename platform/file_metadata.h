#pragma once
// What a file holds, read through the field's libraries: exiv2 for photos,
// TagLib for music, libavformat for video containers. Tags written in a
// legacy code page under the label of Latin-1 (the usual state of Chinese
// MP3s of the 2000s) are kept as bytes until the folder's code page is judged.
#include "core/name_template.h"
#include "platform/code_pages.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace nw {

struct RawFacts {
    enum class Status : std::uint8_t {
        Read,       // read (a file of no kind the libraries know has its dates alone)
        Unreadable, // a photo, song or video whose metadata could not be read
    };
    Status status = Status::Read;
    FileFacts facts; // text fields hold only what was read for certain
    // Text declared Latin-1 that holds bytes above 0x7F: its code page is the
    // folder's to judge (see settleFacts).
    std::string artistBytes, titleBytes, albumBytes;
    bool operator==(const RawFacts&) const = default;
};

// Reads the file at path (its bytes as given). Never throws.
RawFacts readFileFacts(const std::string& path);

// The code page the folder's legacy tag bytes are in, judged over all of
// them as names are; none where no tag needs one.
CodePageJudgement judgeTagCodePage(const std::vector<const RawFacts*>& files);

// The facts with the legacy bytes read in the judged code page (Latin-1 where
// none reads them). codePageUsed: set where a legacy code page was used.
FileFacts settleFacts(const RawFacts& raw, const CodePageJudgement& judgement,
                      std::optional<NameEncoding>* codePageUsed = nullptr);

// The facts of files read so far in this run of the program, by path, size
// and modification time: a file read once is not read again until it changes.
class FactsCache {
public:
    // The file's facts, read now or found; cancel: set, nothing more is read.
    std::shared_ptr<const RawFacts> get(const std::string& path);
    void clear();
    std::size_t size() const;

private:
    struct Key {
        std::string path;
        std::int64_t size = 0, mtimeNs = 0;
        auto operator<=>(const Key&) const = default;
    };
    mutable std::mutex m_mutex;
    std::map<Key, std::shared_ptr<const RawFacts>> m_files;
};

// The cache of this run of the program: one, as the files are one.
FactsCache& sharedFactsCache();

// Reads many files on two threads, in order of the paths given. cancel: set
// from elsewhere, the reading ends early (the rest are left null). done: how
// many have been read, for a count shown meanwhile.
std::vector<std::shared_ptr<const RawFacts>> readAllFacts(FactsCache& cache,
                                                          const std::vector<std::string>& paths,
                                                          const std::atomic<bool>* cancel,
                                                          std::atomic<int>* done);

} // namespace nw
