#pragma once
// Ordinary file names in the languages whose legacy code pages a folder may
// be in, made up from everyday words, and written in those code pages by
// ICU's own converters: the tests never take a name from elsewhere.
#include "platform/code_pages.h"

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace nw::test {

// A name such as a user of the code page's language would give a file.
std::u32string sampleName(NameEncoding language, std::mt19937& rng);

// The name in the code page, through ICU; nothing where it cannot be written.
std::optional<std::string> encodeWithIcu(NameEncoding e, const std::u32string& name);

struct SampleName {
    std::string bytes; // in the code page
    std::u32string text;
};

// A folder of n such names, all different, each with a character beyond ASCII.
std::vector<SampleName> sampleFolder(NameEncoding e, int n, std::mt19937& rng);

} // namespace nw::test
