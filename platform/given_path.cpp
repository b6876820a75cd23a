#include "platform/given_path.h"

#include "platform/file_system.h"
#include "platform/name_codec.h"
#include "platform/places.h"

#include <vector>

namespace nw {
namespace {

template <typename S> std::vector<S> partsOf(const S& path) {
    std::vector<S> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t slash = path.find('/', at);
        parts.push_back(path.substr(at, slash - at));
        if (slash == S::npos)
            return parts;
        at = slash + 1;
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

// The path of a file:// address, its escapes decoded as bytes.
GivenError pathOfAddress(std::string_view address, std::string& path) {
    const std::size_t colon = address.find("://");
    if (!equalsIgnoringCase(address.substr(0, colon), "file"))
        return GivenError::NotLocal;
    std::string_view rest = address.substr(colon + 3);
    const std::size_t slash = rest.find('/');
    const std::string_view host = rest.substr(0, slash);
    if (!host.empty() && !equalsIgnoringCase(host, "localhost"))
        return GivenError::NotLocal;
    rest = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    // A query or a fragment is not part of the path (a "#" in a name is
    // written %23 by whoever made the address).
    rest = rest.substr(0, rest.find_first_of("?#"));
    path.clear();
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const int hi = rest[i] == '%' && i + 2 < rest.size() ? hexValue(rest[i + 1]) : -1;
        const int lo = hi >= 0 ? hexValue(rest[i + 2]) : -1;
        if (hi >= 0 && lo >= 0) {
            const char byte = static_cast<char>(hi * 16 + lo);
            if (byte == '\0')
                return GivenError::NulInAddress;
            path += byte;
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return GivenError::None;
}

} // namespace

bool isAddress(std::string_view given) {
    const std::size_t colon = given.find("://");
    if (colon == std::string_view::npos || colon == 0)
        return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = given[i];
        const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        if (!letter && !(i > 0 && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.')))
            return false;
    }
    return true;
}

GivenError pathOfGiven(std::string_view given, const std::string& base, bool typed,
                       std::string& path) {
    if (isAddress(given)) {
        if (const GivenError e = pathOfAddress(given, path); e != GivenError::None)
            return e;
    } else {
        path = typed ? expandHome(std::string(given)) : std::string(given);
    }
    if (path.empty())
        return GivenError::Empty;
    if (path[0] != '/')
        path = joinPath(base, path);
    path = normalizeFolder(path);
    return GivenError::None;
}

GivenPlace placeOfGiven(std::string_view given, const std::string& base, bool typed,
                        FileSystem& fs) {
    GivenPlace place;
    place.error = pathOfGiven(given, base, typed, place.folder);
    if (place.error != GivenError::None)
        return {place.error, {}, {}};
    // A file (or anything else that is not a folder) opens the folder that
    // holds it, with the file selected; a name that is not there is the
    // folder asked for, so that its absence is reported as such.
    if (place.folder != "/") {
        const std::string parent = parentFolder(place.folder);
        const std::string name = place.folder.substr(parent.size() + (parent == "/" ? 0 : 1));
        if (const auto info = fs.entryInfo(parent, name);
            info && info->shape.kind != EntryKind::Folder) {
            place.folder = parent;
            place.file = name;
        }
    }
    return place;
}

std::string bytesOfTyped(std::u32string_view typed, const std::string& shown,
                         std::u32string_view shownText, const std::string& base, FileSystem& fs) {
    if (typed.empty() || isAddress(encodeName(typed)))
        return encodeName(typed);
    std::vector<std::u32string> parts = partsOf(std::u32string(typed));
    std::string folder;
    std::size_t kept = 0; // leading parts whose bytes are the shown folder's
    if (typed[0] == U'/') {
        folder = "/";
        parts.erase(parts.begin());
        const auto shownParts = partsOf(std::u32string(shownText));
        const auto shownBytes = partsOf(shown);
        if (!shown.empty() && shown[0] == '/' && shownParts.size() == shownBytes.size()) {
            while (kept + 1 < shownParts.size() && kept < parts.size() &&
                   parts[kept] == shownParts[kept + 1])
                ++kept;
            for (std::size_t i = 0; i < kept; ++i)
                folder = joinPath(folder, shownBytes[i + 1]);
        }
    } else if (parts.front() == U"~") {
        folder = homeFolder();
        parts.erase(parts.begin());
    } else {
        folder = base;
    }
    for (std::size_t i = kept; i < parts.size(); ++i) {
        const std::u32string& part = parts[i];
        std::string bytes = encodeName(part);
        if (part.empty() || part == U"." || part == U"..") {
            folder = part == U".." ? parentFolder(normalizeFolder(folder)) : folder;
            continue;
        }
        if (!fs.entryInfo(folder, bytes)) {
            // A legacy name typed as it is shown.
            const std::string shownAs = toDisplayUtf8(part);
            std::vector<RawEntry> entries;
            int matches = 0;
            if (fs.readFolder(folder, entries).ok())
                for (const RawEntry& e : entries)
                    if (toDisplayUtf8(readName(e.name).text) == shownAs && ++matches == 1)
                        bytes = e.name;
            if (matches > 1)
                bytes = encodeName(part);
        }
        folder = joinPath(folder, bytes);
    }
    return folder;
}

} // namespace nw
