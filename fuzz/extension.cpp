// The extension tool and the removal: a changed extension reads back as the
// new one and the rest of the path is kept; removing a text takes out its
// first occurrence and nothing else.
#include "core/extension.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::u32string path = nw::fuzz::text(in, 64);
    const std::u32string ext = nw::fuzz::text(in, 8);
    const std::u32string changed = nw::ChangeFileExt(path, ext);
    const std::u32string oldExt = nw::GetFileExt(path);
    if (ext.find(U'.') == std::u32string::npos && ext.find(U'/') == std::u32string::npos)
        NW_FUZZ_CHECK(nw::GetFileExt(changed) == ext);
    // What is before the extension stays as it was.
    const std::size_t stem = path.size() - oldExt.size();
    NW_FUZZ_CHECK(changed.compare(0, stem, path, 0, stem) == 0);

    const std::u32string text = nw::fuzz::text(in, 4);
    const auto removed = nw::RemoveFirst(path, text);
    const std::size_t at = text.empty() ? std::u32string::npos : path.find(text);
    NW_FUZZ_CHECK(removed.has_value() == (at != std::u32string::npos));
    if (removed)
        NW_FUZZ_CHECK(removed->substr(0, at) + text + removed->substr(at) == path);
    return 0;
}
