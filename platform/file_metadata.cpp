#include "platform/file_metadata.h"

#include "platform/name_codec.h"

#include <exiv2/exiv2.hpp>
#include <libheif/heif.h>
#include <taglib/fileref.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/log.h>
}

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <thread>

namespace nw {

namespace {

enum class Kind : std::uint8_t { Other, Image, Heif, Audio, Video };

Kind kindOf(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return Kind::Other;
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
        return Kind::Heif;
    return in(images)  ? Kind::Image
           : in(audio) ? Kind::Audio
           : in(video) ? Kind::Video
                       : Kind::Other;
}

std::u32string latin1(const std::string& s) {
    std::u32string out;
    out.reserve(s.size());
    for (char c : s)
        out += static_cast<char32_t>(static_cast<unsigned char>(c));
    return out;
}

std::u32string fromUtf8(const std::string& s) {
    // Tags come as Unicode from the libraries; anything not UTF-8 (an EXIF
    // make in a legacy code page) is read byte for byte rather than dropped.
    return isUtf8(s) ? decodeName(s) : latin1(s);
}

std::string trimmed(std::string s) {
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\0' && c != '\t'; };
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    return s;
}

LocalDateTime fromTm(const std::tm& tm) {
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, -1};
}

void initLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
#ifdef EXV_ENABLE_BMFF
        Exiv2::enableBMFF(true);
#endif
        av_log_set_level(AV_LOG_QUIET);
    });
}

std::string exifText(const Exiv2::ExifData& exif, const char* key) {
    const auto it = exif.findKey(Exiv2::ExifKey(key));
    return it == exif.end() ? std::string() : trimmed(it->toString());
}

// The date, camera and size an EXIF block records.
void takeExif(const Exiv2::ExifData& exif, RawFacts& out) {
    out.facts.taken = parseExifDateTime(exifText(exif, "Exif.Photo.DateTimeOriginal"),
                                        exifText(exif, "Exif.Photo.SubSecTimeOriginal"));
    const std::string make = exifText(exif, "Exif.Image.Make");
    const std::string model = exifText(exif, "Exif.Image.Model");
    // Most models repeat their make ("Canon" / "Canon EOS R5").
    const std::string camera = model.rfind(make, 0) == 0 ? model
                               : model.empty()           ? make
                               : make.empty()            ? model
                                                         : make + " " + model;
    out.facts.camera = fromUtf8(camera);
    const int w = std::atoi(exifText(exif, "Exif.Photo.PixelXDimension").c_str());
    const int h = std::atoi(exifText(exif, "Exif.Photo.PixelYDimension").c_str());
    if (w > 0 && h > 0) {
        out.facts.width = w;
        out.facts.height = h;
    }
}

void readImage(const std::string& path, RawFacts& out) {
    try {
        // exiv2 0.27 hands out an auto_ptr, 0.28 a unique_ptr: held by
        // neither name here.
        auto image = Exiv2::ImageFactory::open(path);
        if (image.get() == nullptr) {
            out.status = RawFacts::Status::Unreadable;
            return;
        }
        image->readMetadata();
        takeExif(image->exifData(), out);
        // The picture's own size over what the EXIF block says.
        if (image->pixelWidth() > 0 && image->pixelHeight() > 0) {
            out.facts.width = image->pixelWidth();
            out.facts.height = image->pixelHeight();
        }
    } catch (const std::exception&) {
        out.status = RawFacts::Status::Unreadable;
    }
}

// HEIF and AVIF: libheif finds the primary picture and its EXIF block (the
// exiv2 of Debian 12 misreads the item locations libheif and others write),
// exiv2 reads the block.
void readHeif(const std::string& path, RawFacts& out) {
    struct Held {
        heif_context* ctx = heif_context_alloc();
        heif_image_handle* image = nullptr;
        ~Held() {
            if (image)
                heif_image_handle_release(image);
            heif_context_free(ctx);
        }
    } h;
    if (heif_context_read_from_file(h.ctx, path.c_str(), nullptr).code != heif_error_Ok ||
        heif_context_get_primary_image_handle(h.ctx, &h.image).code != heif_error_Ok) {
        out.status = RawFacts::Status::Unreadable;
        return;
    }
    heif_item_id id = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(h.image, "Exif", &id, 1) == 1) {
        std::vector<unsigned char> block(heif_image_handle_get_metadata_size(h.image, id));
        // Four bytes (big-endian) tell where the TIFF header starts after them.
        if (block.size() > 4 &&
            heif_image_handle_get_metadata(h.image, id, block.data()).code == heif_error_Ok) {
            const std::size_t skip =
                4 + (std::size_t(block[0]) << 24 | std::size_t(block[1]) << 16 |
                     std::size_t(block[2]) << 8 | std::size_t(block[3]));
            if (skip < block.size()) {
                try {
                    Exiv2::ExifData exif;
                    Exiv2::ExifParser::decode(exif, block.data() + skip,
                                              static_cast<std::uint32_t>(block.size() - skip));
                    takeExif(exif, out);
                } catch (const std::exception&) {
                    // A damaged block: the picture is read, its date is not.
                }
            }
        }
    }
    out.facts.width = heif_image_handle_get_width(h.image);
    out.facts.height = heif_image_handle_get_height(h.image);
}

// The raw bytes of a text frame written as Latin-1 (the label legacy tags
// wear), or nothing where the frame is Unicode or absent.
std::optional<std::string> latin1Frame(TagLib::ID3v2::Tag* tag, const char* id) {
    if (!tag)
        return std::nullopt;
    const auto& frames = tag->frameListMap()[id];
    if (frames.isEmpty())
        return std::nullopt;
    auto* text = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(frames.front());
    if (!text || text->textEncoding() != TagLib::String::Latin1)
        return std::nullopt;
    const TagLib::ByteVector b = text->toString().data(TagLib::String::Latin1);
    return std::string(b.data(), b.size());
}

bool highBytes(const std::string& s) {
    return std::any_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
}

int leadingNumber(const TagLib::StringList& values) {
    if (values.isEmpty())
        return 0;
    return std::atoi(values.front().to8Bit(true).c_str()); // "3/12" -> 3
}

void readAudio(const std::string& path, RawFacts& out) {
    // With its audio properties: a file in which TagLib finds no audio (an
    // MP3 of no MPEG frame) is no song, whatever tags it may carry.
    TagLib::FileRef ref(path.c_str(), true, TagLib::AudioProperties::Fast);
    if (ref.isNull() || !ref.file()->isValid() || !ref.audioProperties() ||
        ref.audioProperties()->sampleRate() <= 0) {
        out.status = RawFacts::Status::Unreadable;
        return;
    }
    const TagLib::PropertyMap props = ref.file()->properties();
    auto text = [&props](const char* key) {
        const auto it = props.find(key);
        return it == props.end() || it->second.isEmpty() ? std::string()
                                                         : trimmed(it->second.front().to8Bit(true));
    };
    out.facts.artist = fromUtf8(text("ARTIST"));
    out.facts.title = fromUtf8(text("TITLE"));
    out.facts.album = fromUtf8(text("ALBUM"));
    if (const auto it = props.find("TRACKNUMBER"); it != props.end())
        if (const int n = leadingNumber(it->second); n > 0)
            out.facts.track = n;
    if (const auto it = props.find("DISCNUMBER"); it != props.end())
        if (const int n = leadingNumber(it->second); n > 0)
            out.facts.disc = n;
    if (const auto it = props.find("DATE"); it != props.end())
        if (const int n = leadingNumber(it->second); n > 0)
            out.facts.year = n;

    // An MP3's Latin-1 frames (ID3v2, else ID3v1) may hold a legacy code
    // page: their bytes wait for the folder's judgement.
    auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(ref.file());
    if (!mpeg)
        return;
    TagLib::ID3v2::Tag* v2 = mpeg->hasID3v2Tag() ? mpeg->ID3v2Tag() : nullptr;
    TagLib::ID3v1::Tag* v1 = mpeg->hasID3v1Tag() ? mpeg->ID3v1Tag() : nullptr;
    struct Slot {
        const char* frame;
        std::u32string& value;
        std::string& bytes;
        TagLib::String (TagLib::ID3v1::Tag::*v1Value)() const;
    };
    const std::array<Slot, 3> slots{
        {{"TPE1", out.facts.artist, out.artistBytes, &TagLib::ID3v1::Tag::artist},
         {"TIT2", out.facts.title, out.titleBytes, &TagLib::ID3v1::Tag::title},
         {"TALB", out.facts.album, out.albumBytes, &TagLib::ID3v1::Tag::album}}};
    for (const Slot& s : slots) {
        std::optional<std::string> raw = latin1Frame(v2, s.frame);
        const bool inV2 = v2 && !v2->frameListMap()[s.frame].isEmpty();
        if (!raw && !inV2 && v1) {
            const TagLib::ByteVector b = (v1->*s.v1Value)().data(TagLib::String::Latin1);
            raw = std::string(b.data(), b.size());
        }
        if (raw && highBytes(*raw)) {
            s.bytes = trimmed(*raw);
            s.value.clear();
        }
    }
}

void readVideo(const std::string& path, RawFacts& out) {
    AVFormatContext* ctx = nullptr;
    if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) {
        out.status = RawFacts::Status::Unreadable;
        return;
    }
    if (const AVDictionaryEntry* e = av_dict_get(ctx->metadata, "creation_time", nullptr, 0))
        out.facts.taken = utcToLocal(e->value);
    auto size = [ctx, &out] {
        for (unsigned i = 0; i < ctx->nb_streams; ++i) {
            const AVCodecParameters* p = ctx->streams[i]->codecpar;
            if (p->codec_type == AVMEDIA_TYPE_VIDEO && p->width > 0 && p->height > 0) {
                out.facts.width = p->width;
                out.facts.height = p->height;
                return true;
            }
        }
        return false;
    };
    // Most containers say the picture's size in their header; for the rest
    // (MPEG-4 part 2 in MP4) the first frames are looked at.
    if (!size() && avformat_find_stream_info(ctx, nullptr) >= 0)
        size();
    avformat_close_input(&ctx);
}

} // namespace

std::optional<LocalDateTime> parseExifDateTime(const std::string& text,
                                               const std::string& subSeconds) {
    LocalDateTime t;
    char c1 = 0, c2 = 0;
    if (std::sscanf(text.c_str(), "%4d%c%2d%c%2d %2d:%2d:%2d", &t.year, &c1, &t.month, &c2, &t.day,
                    &t.hour, &t.minute, &t.second) != 8 ||
        (c1 != ':' && c1 != '-') || c2 != c1)
        return std::nullopt;
    // "0000:00:00 00:00:00" is what cameras write for no date.
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 ||
        t.minute > 59 || t.second > 60 || t.hour < 0 || t.minute < 0 || t.second < 0)
        return std::nullopt;
    const std::string sub = trimmed(subSeconds);
    if (!sub.empty() &&
        std::all_of(sub.begin(), sub.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        std::string ms = (sub + "000").substr(0, 3);
        t.millisecond = std::atoi(ms.c_str());
    }
    return t;
}

std::optional<LocalDateTime> utcToLocal(const std::string& isoText) {
    std::tm tm{};
    if (std::sscanf(isoText.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &tm.tm_year, &tm.tm_mon,
                    &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6 &&
        std::sscanf(isoText.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &tm.tm_year, &tm.tm_mon,
                    &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec) != 6)
        return std::nullopt;
    // MP4 writes 1904-01-01 (its zero) where no time was recorded.
    if (tm.tm_year <= 1904 || tm.tm_mon < 1 || tm.tm_mon > 12)
        return std::nullopt;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    const std::time_t utc = timegm(&tm);
    std::tm local{};
    if (!localtime_r(&utc, &local))
        return std::nullopt;
    return fromTm(local);
}

RawFacts readFileFacts(const std::string& path) {
    initLibraries();
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
    switch (kindOf(path)) {
    case Kind::Image: readImage(path, out); break;
    case Kind::Heif: readHeif(path, out); break;
    case Kind::Audio: readAudio(path, out); break;
    case Kind::Video: readVideo(path, out); break;
    case Kind::Other: break;
    }
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
    initLibraries();
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
