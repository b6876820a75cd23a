#pragma once
// Where the user asks to go, however it is given: a path typed or pasted in
// the path box, a file:// address (typed, dropped or passed), a path dropped
// on the window, an argument. Names on disk are bytes and may be in a legacy
// code page; only what the user typed as text is encoded, so every folder
// the program can show can also be reached.
#include <string>
#include <string_view>

namespace nw {

class FileSystem;

enum class GivenError {
    None,
    Empty,
    NotLocal,     // an address of another scheme or another machine
    NulInAddress, // "%00": would cut the path short
};

struct GivenPlace {
    GivenError error = GivenError::None;
    std::string folder; // absolute, normalised, as bytes
    std::string file;   // a file in it to select; empty for none
};

// Whether the text starts with "scheme://".
bool isAddress(std::string_view given);

// The absolute path a path or an address given as bytes stands for, into
// path. An address's percent-escapes are bytes; where typed, "~" is the home
// folder (on a command line the shell has expanded it already); a relative
// path is taken from base.
GivenError pathOfGiven(std::string_view given, const std::string& base, bool typed,
                       std::string& path);

// The same, as a place: a path to anything but a folder (a file, a link to a
// file) stands for the folder that holds it, with the name as the file to
// select; a name that is not there stands for itself, so that its absence is
// reported.
GivenPlace placeOfGiven(std::string_view given, const std::string& base, bool typed,
                        FileSystem& fs);

// The bytes of a path typed in the box that showed the folder `shown` as
// `shownText`. The leading parts left as they were shown keep the shown
// folder's bytes (a GBK or undecodable folder shown in the box is reached
// again by Enter). Each other part is its UTF-8 where no entry of that name
// exists and exactly one entry of its folder is shown by that text (a legacy
// name typed as the program shows it) is taken as that entry. Addresses are
// taken as typed.
std::string bytesOfTyped(std::u32string_view typed, const std::string& shown,
                         std::u32string_view shownText, const std::string& base, FileSystem& fs);

} // namespace nw
