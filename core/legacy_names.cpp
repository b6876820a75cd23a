#include "core/legacy_names.h"

#include "platform/name_codec.h"

namespace nw {

RenameTool Utf8RepairTool() {
    RenameTool tool;
    tool.onlyLegacyNames = true;
    tool.transform = [](int, const std::u32string& name) {
        // Two bytes a character in GBK are three in UTF-8: a long name may
        // not fit.
        const std::size_t bytes = encodeName(name).size();
        if (bytes > kMaxNameBytes)
            return TransformResult::left(LeftReason::TooLongInUtf8, bytes);
        TransformResult t = TransformResult::of(name);
        t.encoding = NameEncoding::Utf8;
        return t;
    };
    return tool;
}

} // namespace nw
