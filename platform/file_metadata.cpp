#include "platform/file_metadata.h"

#include "platform/facts_module.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <thread>

namespace nw {

namespace {

MediaKind kindOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return MediaKind::Other;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    static const std::array<const char*, 19> images{
        "jpg", "jpeg", "jpe", "png", "tif", "tiff", "webp", "dng", "cr2", "cr3",
        "nef", "nrw",  "arw", "orf", "rw2", "raf",  "pef",  "srw", "crw"};
    static const std::array<const char*, 13> audio{"mp3", "flac", "ogg", "oga", "opus",
                                                   "m4a", "m4b",  "wma", "ape", "wv",
                                                   "mpc", "aiff", "aif"};
    static const std::array<const char*, 10> video{"mp4", "mov", "m4v", "mkv",  "webm",
                                                   "3gp", "avi", "mts", "m2ts", "wmv"};
    auto in = [&ext](const auto& list) {
        return std::any_of(list.begin(), list.end(), [&ext](const char* e) { return ext == e; });
    };
    if (ext == "heic" || ext == "heif" || ext == "avif" || ext == "hif")
        return MediaKind::Heif;
    return in(images)  ? MediaKind::Image
           : in(audio) ? MediaKind::Audio
           : in(video) ? MediaKind::Video
                       : MediaKind::Other;
}

using ReadMedia = void (*)(const char*, int, RawFacts*);

// The module in "modules" beside the program (as installed), or where this
// build put it; loaded once.
ReadMedia mediaReader() {
    static const ReadMedia reader = []() -> ReadMedia {
        std::vector<std::string> places;
        char exe[4096];
        const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
        if (n > 0) {
            std::string dir(exe, static_cast<std::size_t>(n));
            dir.erase(dir.rfind('/'));
            places.push_back(dir + "/modules/" NW_FACTS_MODULE_NAME);
        }
        places.emplace_back(NW_FACTS_MODULE_BUILT);
        for (const std::string& p : places)
            if (void* h = ::dlopen(p.c_str(), RTLD_NOW | RTLD_LOCAL))
                if (void* f = ::dlsym(h, "nw_read_media_facts"))
                    return reinterpret_cast<ReadMedia>(f);
        std::fprintf(stderr,
                     "namewright: %s could not be loaded (%s): photos, music and videos "
                     "cannot be read\n",
                     NW_FACTS_MODULE_NAME, ::dlerror());
        return nullptr;
    }();
    return reader;
}

} // namespace

RawFacts readFileFacts(const std::string& path) {
    RawFacts out;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        out.status = RawFacts::Status::Unreadable;
        return out;
    }
    const std::time_t mtime = st.st_mtim.tv_sec;
    std::tm local{};
    if (localtime_r(&mtime, &local))
        out.facts.modified = fromTm(local);
    if (!S_ISREG(st.st_mode))
        return out;
    const MediaKind kind = kindOf(path);
    if (kind == MediaKind::Other)
        return out;
    if (const ReadMedia read = mediaReader())
        read(path.c_str(), static_cast<int>(kind), &out);
    else
        out.status = RawFacts::Status::Unreadable;
    return out;
}

CodePageJudgement judgeTagCodePage(const std::vector<const RawFacts*>& files) {
    std::vector<std::string_view> texts;
    for (const RawFacts* f : files)
        if (f)
            for (const std::string* s : {&f->artistBytes, &f->titleBytes, &f->albumBytes})
                if (!s->empty())
                    texts.emplace_back(*s);
    if (texts.empty())
        return {};
    return judgeCodePage(texts, localePrior());
}

FileFacts settleFacts(const RawFacts& raw, const CodePageJudgement& judgement,
                      std::optional<NameEncoding>* codePageUsed) {
    FileFacts f = raw.facts;
    std::optional<NameEncoding> used;
    auto settle = [&](const std::string& bytes, std::u32string& value) {
        if (bytes.empty())
            return;
        if (judgement.codePage) {
            if (auto text = codepage::decode(*judgement.codePage, bytes)) {
                value = std::move(*text);
                used = judgement.codePage;
                return;
            }
        }
        value = latin1(bytes); // as labelled
    };
    settle(raw.artistBytes, f.artist);
    settle(raw.titleBytes, f.title);
    settle(raw.albumBytes, f.album);
    if (codePageUsed)
        *codePageUsed = used;
    return f;
}

std::shared_ptr<const RawFacts> FactsCache::get(const std::string& path) {
    struct stat st {};
    Key key{path, 0, 0};
    if (::stat(path.c_str(), &st) == 0) {
        key.size = st.st_size;
        key.mtimeNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    {
        std::lock_guard lock(m_mutex);
        if (const auto it = m_files.find(key); it != m_files.end())
            return it->second;
    }
    auto facts = std::make_shared<const RawFacts>(readFileFacts(path));
    std::lock_guard lock(m_mutex);
    // One entry a path: an older reading of a file that changed goes.
    for (auto it = m_files.lower_bound(Key{path, INT64_MIN, INT64_MIN});
         it != m_files.end() && it->first.path == path;)
        it = m_files.erase(it);
    m_files.emplace(std::move(key), facts);
    return facts;
}

void FactsCache::clear() {
    std::lock_guard lock(m_mutex);
    m_files.clear();
}

std::size_t FactsCache::size() const {
    std::lock_guard lock(m_mutex);
    return m_files.size();
}

FactsCache& sharedFactsCache() {
    static FactsCache cache;
    return cache;
}

std::vector<std::shared_ptr<const RawFacts>> readAllFacts(FactsCache& cache,
                                                          const std::vector<std::string>& paths,
                                                          const std::atomic<bool>* cancel,
                                                          std::atomic<int>* done) {
    std::vector<std::shared_ptr<const RawFacts>> out(paths.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < paths.size(); i = next++) {
            if (cancel && cancel->load())
                return;
            out[i] = cache.get(paths[i]);
            if (done)
                ++*done;
        }
    };
    std::thread other(work);
    work();
    other.join();
    return out;
}

} // namespace nw
