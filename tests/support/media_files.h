#pragma once
// Photos, songs and videos for the tests, tagged with exiv2 and TagLib, from
// the small untagged files in tests/data/media.
#include <map>
#include <string>

namespace nw::test {

// The folder of the checked-in samples.
std::string mediaSample(const std::string& name);

// A JPEG of 16 x 12 pixels with these EXIF keys ("Exif.Photo.DateTimeOriginal"
// -> "2024:05:01 12:34:56"); none: no EXIF at all.
void makeJpeg(const std::string& path, const std::map<std::string, std::string>& exif = {});

// An MP3 of a few silent frames. Text frames (TPE1, TIT2, TALB, TRCK, TPOS,
// TDRC) are written as UTF-16; those in latin1Frames as Latin-1 frames holding
// the given bytes as they are (legacy tags). v1: an ID3v1 tag of these raw
// bytes (artist, title, album) and no ID3v2 tag.
struct Mp3Tags {
    std::map<std::string, std::string> utf16Frames;  // id -> UTF-8 text
    std::map<std::string, std::string> latin1Frames; // id -> raw bytes
    std::map<std::string, std::string> v1;           // "artist" / "title" / "album" -> raw bytes
};
void makeMp3(const std::string& path, const Mp3Tags& tags);

// A FLAC or M4A file with these tags (TagLib's property names: ARTIST,
// TITLE, ALBUM, TRACKNUMBER, DISCNUMBER, DATE), values in UTF-8.
void makeFlac(const std::string& path, const std::map<std::string, std::string>& tags);
void makeM4a(const std::string& path, const std::map<std::string, std::string>& tags);

} // namespace nw::test
