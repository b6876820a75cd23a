// The part of reading what files hold that needs the media libraries: a
// module of its own, loaded the first time a photo, song or video is read,
// so that the window starts without loading exiv2, TagLib, libheif and
// FFmpeg (and the libraries they bring).
#include "platform/facts_module.h"

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

std::u32string fromUtf8(const std::string& s) {
    // Tags come as Unicode from the libraries; anything not UTF-8 (an EXIF
    // make in a legacy code page) is read byte for byte rather than dropped.
    const TagLib::String text(s, TagLib::String::UTF8);
    if (text.to8Bit(true) != s)
        return latin1(s);
    std::u32string out;
    for (const wchar_t c : text.toWString())
        out += static_cast<char32_t>(c);
    return out;
}

std::string trimmed(std::string s) {
    const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\0' && c != '\t'; };
    s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
    return s;
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

// A date as written in EXIF ("2024:05:01 12:34:56"), with the sub-seconds of
// SubSecTimeOriginal where given.
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

// A container's creation time (UTC by its format: "2024-05-01T12:34:56.000000Z")
// as the local time of this computer.
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

} // namespace nw

extern "C" __attribute__((visibility("default"))) void
nw_read_media_facts(const char* path, int kind, nw::RawFacts* out) {
    using nw::MediaKind;
    nw::initLibraries();
    switch (static_cast<MediaKind>(kind)) {
    case MediaKind::Image: nw::readImage(path, *out); break;
    case MediaKind::Heif: nw::readHeif(path, *out); break;
    case MediaKind::Audio: nw::readAudio(path, *out); break;
    case MediaKind::Video: nw::readVideo(path, *out); break;
    case MediaKind::Other: break;
    }
}
