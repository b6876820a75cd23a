#pragma once
// The orders the file list can show, and every pass walks: by name as a
// person reads numbers (ASCII and full-width digits alike), by name in
// pinyin (Chinese as a Chinese reader files it, numbers still as numbers),
// by modification time or by size, by the date a photo or video was taken
// (files without one after the others); each one backwards too. Ties fall back
// to the bytes of the name, so every order is total and repeatable.
#include "platform/file_system.h"

#include <string>
#include <vector>

namespace nw {

enum class SortKey { Natural, Pinyin, Modified, Size, Taken };

struct SortOrder {
    SortKey key = SortKey::Natural;
    bool reversed = false;
    bool operator==(const SortOrder&) const = default;
};

// Puts files, listed from folder in natural order, in that order. Modified
// and Size ask the drive about each file; one it cannot tell of goes first.
// Taken reads what the files hold (through the program's cache of it).
void sortListed(FileSystem& fs, const std::string& folder, std::vector<ListedFile>& files,
                SortOrder order);

} // namespace nw
