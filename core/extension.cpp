#include "core/extension.h"

#include "core/name_parts.h"

namespace nw {
namespace {
// Position of the extension dot, or npos.
std::size_t extensionDot(std::u32string_view path) {
    const std::size_t slash = path.rfind(U'/');
    const std::size_t nameStart = slash == std::u32string_view::npos ? 0 : slash + 1;
    const NameParts p = splitName(path.substr(nameStart));
    return p.dotted ? nameStart + p.base.size() : std::u32string_view::npos;
}
} // namespace

std::u32string GetFileExt(std::u32string_view strFile) {
    const std::size_t dot = extensionDot(strFile);
    if (dot == std::u32string_view::npos)
        return {};
    return std::u32string(strFile.substr(dot + 1));
}

std::u32string ChangeFileExt(std::u32string_view strFile, std::u32string_view strExt) {
    const std::size_t dot = extensionDot(strFile);
    std::u32string out;
    if (dot == std::u32string_view::npos)
        out.append(strFile).append(U".");
    else
        out.append(strFile.substr(0, dot + 1));
    out.append(strExt);
    return out;
}

std::optional<std::u32string> RemoveFirst(std::u32string_view name, std::u32string_view text) {
    if (text.empty())
        return std::nullopt;
    const std::size_t p = name.find(text);
    if (p == std::u32string_view::npos)
        return std::nullopt;
    std::u32string out(name.substr(0, p));
    out.append(name.substr(p + text.size()));
    return out;
}

} // namespace nw
