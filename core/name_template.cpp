#include "core/name_template.h"

#include "core/name_parts.h"

#include <array>
#include <utility>

namespace nw {

namespace {

struct FieldInfo {
    Field field;
    std::u32string_view name;
    std::u32string_view traditional; // as a Traditional Chinese window writes it
};

constexpr std::array<FieldInfo, 16> kFields{{
    {Field::TakenDate, U"拍摄日期", U"拍攝日期"},
    {Field::TakenTime, U"拍摄时间", U"拍攝時間"},
    {Field::Camera, U"相机", U"相機"},
    {Field::Width, U"宽", U"寬"},
    {Field::Height, U"高", U"高"},
    {Field::Artist, U"歌手", U"歌手"},
    {Field::Title, U"标题", U"標題"},
    {Field::Album, U"专辑", U"專輯"},
    {Field::Track, U"音轨", U"音軌"},
    {Field::Year, U"年份", U"年份"},
    {Field::Disc, U"光盘", U"光碟"},
    {Field::ModifiedDate, U"修改日期", U"修改日期"},
    {Field::ModifiedTime, U"修改时间", U"修改時間"},
    {Field::OriginalName, U"原文件名", U"原檔名"},
    {Field::Extension, U"扩展名", U"副檔名"},
    {Field::Number, U"序号", U"序號"},
}};

std::optional<Field> fieldNamed(std::u32string_view name) {
    for (const FieldInfo& f : kFields)
        if (f.name == name || f.traditional == name)
            return f.field;
    return std::nullopt;
}

std::u32string digits(int value, int width) {
    std::u32string out;
    const bool negative = value < 0;
    unsigned v = negative ? 0U - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        out.insert(out.begin(), static_cast<char32_t>(U'0' + v % 10));
        v /= 10;
    } while (v != 0);
    while (out.size() < static_cast<std::size_t>(width))
        out.insert(out.begin(), U'0');
    if (negative)
        out.insert(out.begin(), U'-');
    return out;
}

std::size_t utf8Bytes(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

std::size_t utf8Bytes(std::u32string_view s) {
    std::size_t n = 0;
    for (char32_t c : s)
        n += utf8Bytes(c);
    return n;
}

void dropTrailingDotsAndSpaces(std::u32string& s) {
    while (!s.empty() && (s.back() == U'.' || s.back() == U' ' || s.back() == U'\u3000'))
        s.pop_back();
}

// The value a field takes in this file; none where the file does not hold it.
std::optional<std::u32string> valueOf(const TemplatePart& part, const FileFacts& facts,
                                      std::u32string_view oldName, std::u32string_view number,
                                      bool takenFromModified) {
    const Field f = *part.field;
    auto date = [&](const std::optional<LocalDateTime>& t,
                    std::u32string_view fallbackFormat) -> std::optional<std::u32string> {
        if (!t)
            return std::nullopt;
        return formatDateTime(*t, part.text.empty() ? fallbackFormat : part.text);
    };
    auto text = [](const std::u32string& s) -> std::optional<std::u32string> {
        if (s.empty())
            return std::nullopt;
        return s;
    };
    auto count = [](const std::optional<int>& n, int width) -> std::optional<std::u32string> {
        if (!n)
            return std::nullopt;
        return digits(*n, width);
    };
    const std::optional<LocalDateTime>& taken =
        facts.taken || !takenFromModified ? facts.taken : facts.modified;
    switch (f) {
    case Field::TakenDate: return date(taken, U"yyyy-MM-dd");
    case Field::TakenTime: return date(taken, U"HHmmss");
    case Field::ModifiedDate: return date(facts.modified, U"yyyy-MM-dd");
    case Field::ModifiedTime: return date(facts.modified, U"HHmmss");
    case Field::Camera: return text(facts.camera);
    case Field::Artist: return text(facts.artist);
    case Field::Title: return text(facts.title);
    case Field::Album: return text(facts.album);
    case Field::Width: return count(facts.width, 1);
    case Field::Height: return count(facts.height, 1);
    case Field::Track: return count(facts.track, 2);
    case Field::Year: return count(facts.year, 1);
    case Field::Disc: return count(facts.disc, 1);
    case Field::OriginalName: return std::u32string(splitName(oldName).base);
    case Field::Extension: return std::u32string(splitName(oldName).ext);
    case Field::Number: return std::u32string(number);
    }
    return std::nullopt;
}

} // namespace

std::u32string_view fieldName(Field f, bool traditional) {
    for (const FieldInfo& i : kFields)
        if (i.field == f)
            return traditional ? i.traditional : i.name;
    return {};
}

bool isDateField(Field f) {
    return f == Field::TakenDate || f == Field::TakenTime || f == Field::ModifiedDate ||
           f == Field::ModifiedTime;
}

std::variant<NameTemplate, TemplateError> parseTemplate(std::u32string_view text) {
    NameTemplate out;
    std::u32string literal;
    auto flush = [&] {
        if (!literal.empty())
            out.push_back({std::exchange(literal, {}), std::nullopt});
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'}') {
            if (i + 1 < text.size() && text[i + 1] == U'}') {
                literal += U'}';
                ++i;
                continue;
            }
            return TemplateError{TemplateError::Kind::Unopened, {}};
        }
        if (c != U'{') {
            literal += c;
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == U'{') {
            literal += U'{';
            ++i;
            continue;
        }
        const std::size_t close = text.find(U'}', i + 1);
        if (close == std::u32string_view::npos)
            return TemplateError{TemplateError::Kind::Unclosed, {}};
        const std::u32string_view inside = text.substr(i + 1, close - i - 1);
        const std::size_t colon = inside.find(U':');
        const std::u32string_view name = inside.substr(0, colon);
        const std::optional<Field> field = fieldNamed(name);
        if (!field)
            return TemplateError{TemplateError::Kind::UnknownField, std::u32string(name)};
        std::u32string format;
        if (colon != std::u32string_view::npos) {
            format = inside.substr(colon + 1);
            if (!isDateField(*field) || format.empty())
                return TemplateError{TemplateError::Kind::BadFormat, std::u32string(inside)};
        }
        flush();
        out.push_back({std::move(format), field});
        i = close;
    }
    flush();
    if (out.empty())
        return TemplateError{TemplateError::Kind::Empty, {}};
    return out;
}

std::u32string formatDateTime(const LocalDateTime& t, std::u32string_view format) {
    struct Token {
        std::u32string_view text;
        int value;
        int width;
    };
    const std::array<Token, 13> tokens{{
        {U"yyyy", t.year, 4},
        {U"yy", t.year % 100, 2},
        {U"MM", t.month, 2},
        {U"M", t.month, 1},
        {U"dd", t.day, 2},
        {U"d", t.day, 1},
        {U"HH", t.hour, 2},
        {U"H", t.hour, 1},
        {U"mm", t.minute, 2},
        {U"m", t.minute, 1},
        {U"ss", t.second, 2},
        {U"s", t.second, 1},
        {U"zzz", t.millisecond < 0 ? 0 : t.millisecond, 3},
    }};
    std::u32string out;
    for (std::size_t i = 0; i < format.size();) {
        if (format[i] == U'\'') {
            const std::size_t close = format.find(U'\'', i + 1);
            const std::size_t end = close == std::u32string_view::npos ? format.size() : close;
            out += format.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        bool matched = false;
        for (const Token& tok : tokens) {
            if (format.substr(i, tok.text.size()) == tok.text) {
                out += digits(tok.value, tok.width);
                i += tok.text.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            out += format[i++];
    }
    return out;
}

std::u32string cleanFieldValue(std::u32string_view value) {
    std::u32string out;
    out.reserve(value.size());
    for (char32_t c : value) {
        const bool control = c < 0x20 || (c >= 0x7F && c < 0xA0);
        out += c == U'/' || c == U'\0' || control ? U'_' : c;
    }
    dropTrailingDotsAndSpaces(out);
    return out;
}

TemplateResult fillTemplate(const NameTemplate& t, const FileFacts& facts,
                            std::u32string_view oldName, std::u32string_view numberText,
                            bool takenFromModified) {
    TemplateResult r;
    std::u32string out;
    for (const TemplatePart& part : t) {
        if (!part.field) {
            out += part.text;
            continue;
        }
        const std::optional<std::u32string> v =
            valueOf(part, facts, oldName, numberText, takenFromModified);
        std::u32string clean = v ? cleanFieldValue(*v) : std::u32string();
        const bool mayBeEmpty = *part.field == Field::Extension;
        if (clean.empty() && !mayBeEmpty) {
            r.missing = part.field;
            return r;
        }
        out += clean;
    }
    // The template's own text is the user's: only what would make no name is
    // refused by the pass (a "/" typed there, say).
    r.text = std::move(out);
    return r;
}

bool usesField(const NameTemplate& t, Field f) {
    for (const TemplatePart& p : t)
        if (p.field == f)
            return true;
    return false;
}

std::u32string placeFilled(std::u32string_view oldName, std::u32string_view filled,
                           FactsPlacement placement) {
    const NameParts parts = splitName(oldName);
    std::u32string prefix;
    switch (placement) {
    case FactsPlacement::ReplacePrefix: prefix = filled; break;
    case FactsPlacement::BeforePrefix:
        prefix = std::u32string(filled) + std::u32string(parts.base);
        break;
    case FactsPlacement::AfterPrefix:
        prefix = std::u32string(parts.base) + std::u32string(filled);
        break;
    }
    const std::size_t extBytes = utf8Bytes(parts.dottedExt);
    if (utf8Bytes(prefix) + extBytes > kNameBytes && extBytes < kNameBytes) {
        std::size_t room = kNameBytes - extBytes, used = 0, keep = 0;
        while (keep < prefix.size() && used + utf8Bytes(prefix[keep]) <= room)
            used += utf8Bytes(prefix[keep++]);
        prefix.resize(keep);
        dropTrailingDotsAndSpaces(prefix);
    }
    return prefix + std::u32string(parts.dottedExt);
}

} // namespace nw
