#include "tests/support/media_files.h"

#include <exiv2/exiv2.hpp>
#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace nw::test {

namespace {

TagLib::String utf8(const std::string& s) { return TagLib::String(s, TagLib::String::UTF8); }

// Bytes stored as they are in a frame labelled Latin-1.
TagLib::String raw(const std::string& s) {
    return TagLib::String(TagLib::ByteVector(s.data(), static_cast<unsigned>(s.size())),
                          TagLib::String::Latin1);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void copySample(const std::string& sample, const std::string& path) {
    std::filesystem::copy_file(mediaSample(sample), path,
                               std::filesystem::copy_options::overwrite_existing);
}

void setProperties(TagLib::File& f, const std::map<std::string, std::string>& tags) {
    TagLib::PropertyMap props;
    for (const auto& [key, value] : tags)
        props.insert(key, TagLib::StringList(utf8(value)));
    f.setProperties(props);
    if (!f.save())
        throw std::runtime_error("TagLib could not save");
}

} // namespace

std::string mediaSample(const std::string& name) {
    return std::string(NW_MEDIA_SAMPLES) + "/" + name;
}

void makeJpeg(const std::string& path, const std::map<std::string, std::string>& exif) {
    copySample("plain.jpg", path);
    if (exif.empty())
        return;
    auto image = Exiv2::ImageFactory::open(path);
    Exiv2::ExifData data;
    for (const auto& [key, value] : exif)
        data[key] = value;
    image->setExifData(data);
    image->writeMetadata();
}

void makeMp3(const std::string& path, const Mp3Tags& tags) {
    // MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes a frame.
    std::string frame(417, '\0');
    frame[0] = '\xFF';
    frame[1] = '\xFB';
    frame[2] = '\x90';
    frame[3] = '\x00';
    writeBytes(path, frame + frame + frame + frame);
    TagLib::MPEG::File f(path.c_str(), false);
    if (!tags.v1.empty()) {
        TagLib::ID3v1::Tag* v1 = f.ID3v1Tag(true);
        for (const auto& [field, bytes] : tags.v1) {
            if (field == "artist")
                v1->setArtist(raw(bytes));
            else if (field == "title")
                v1->setTitle(raw(bytes));
            else
                v1->setAlbum(raw(bytes));
        }
        if (!f.save(TagLib::MPEG::File::ID3v1, TagLib::File::StripOthers))
            throw std::runtime_error("TagLib could not save ID3v1");
        return;
    }
    TagLib::ID3v2::Tag* v2 = f.ID3v2Tag(true);
    auto add = [v2](const std::string& id, const TagLib::String& text, TagLib::String::Type type) {
        auto* textFrame =
            new TagLib::ID3v2::TextIdentificationFrame(TagLib::ByteVector(id.c_str(), 4), type);
        textFrame->setText(text);
        v2->addFrame(textFrame);
    };
    for (const auto& [id, text] : tags.utf16Frames)
        add(id, utf8(text), TagLib::String::UTF16);
    for (const auto& [id, bytes] : tags.latin1Frames)
        add(id, raw(bytes), TagLib::String::Latin1);
    if (!f.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers))
        throw std::runtime_error("TagLib could not save ID3v2");
}

void makeFlac(const std::string& path, const std::map<std::string, std::string>& tags) {
    // "fLaC" and the one block a FLAC file must have: STREAMINFO (block
    // size 4096, 44.1 kHz, two channels, 16 bits, no samples).
    const std::array<unsigned char, 38> streamInfo{
        0x80, 0x00, 0x00, 0x22, 0x10, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x0A, 0xC4, 0x42, 0xF0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    writeBytes(path, "fLaC" + std::string(streamInfo.begin(), streamInfo.end()));
    TagLib::FLAC::File f(path.c_str(), false);
    if (!f.isValid())
        throw std::runtime_error("not a FLAC file to TagLib");
    setProperties(f, tags);
}

void makeM4a(const std::string& path, const std::map<std::string, std::string>& tags) {
    copySample("plain.m4a", path);
    TagLib::MP4::File f(path.c_str(), false);
    if (!f.isValid())
        throw std::runtime_error("not an MP4 file to TagLib");
    setProperties(f, tags);
}

} // namespace nw::test
