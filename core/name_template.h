#pragma once
// Names from what a file holds: a template such as
// "{拍摄日期:yyyyMMdd_HHmmss} {相机}" filled with a file's facts (date taken,
// music tags, file dates), each value made fit for a file name.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nw {

// A date and time as written, with no time zone: a camera's local time is
// named as the camera wrote it.
struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int millisecond = -1; // -1: none recorded
    bool operator==(const LocalDateTime&) const = default;
    auto operator<=>(const LocalDateTime&) const = default;
};

// What is known of one file; a field is empty where the file does not hold it.
struct FileFacts {
    std::optional<LocalDateTime> taken; // EXIF DateTimeOriginal; a video's creation time
    std::u32string camera;              // make and model
    std::optional<int> width, height;
    std::u32string artist, title, album;
    std::optional<int> track, year, disc;
    std::optional<LocalDateTime> modified;
    bool operator==(const FileFacts&) const = default;
};

enum class Field : std::uint8_t {
    TakenDate,    // {拍摄日期}
    TakenTime,    // {拍摄时间}
    Camera,       // {相机}
    Width,        // {宽}
    Height,       // {高}
    Artist,       // {歌手}
    Title,        // {标题}
    Album,        // {专辑}
    Track,        // {音轨}
    Year,         // {年份}
    Disc,         // {光盘}
    ModifiedDate, // {修改日期}
    ModifiedTime, // {修改时间}
    OriginalName, // {原文件名}: the name without its extension
    Extension,    // {扩展名}: without the dot
    Number,       // {序号}: the running number of 批量改名's rules
};

// The field's name as written between the braces ("拍摄日期"), or as a
// window in Traditional Chinese writes it ("拍攝日期"); a template takes both.
std::u32string_view fieldName(Field f, bool traditional = false);
// Whether the field is a date (it takes a format after a colon).
bool isDateField(Field f);

struct TemplatePart {
    std::u32string text;        // a literal; or, for a field, its format (may be empty)
    std::optional<Field> field; // none: a literal
};
using NameTemplate = std::vector<TemplatePart>;

// Why a template cannot be used: an unknown field, a brace left open or
// unmatched, a format on a field that takes none, or no field and no text.
struct TemplateError {
    enum class Kind : std::uint8_t { Empty, Unclosed, Unopened, UnknownField, BadFormat };
    Kind kind = Kind::Empty;
    std::u32string what; // the field's name or the format, where there is one
};

// "{{" and "}}" write a brace of their own.
std::variant<NameTemplate, TemplateError> parseTemplate(std::u32string_view text);

// A date in a format of yyyy yy MM M dd d HH H mm m ss s zzz; other
// characters stand as they are, and text in single quotes is literal.
std::u32string formatDateTime(const LocalDateTime& t, std::u32string_view format);

// A value made fit for a file name: "/" and control characters become "_",
// dots and spaces at the end are dropped.
std::u32string cleanFieldValue(std::u32string_view value);

// The number of UTF-8 bytes a name may take.
inline constexpr std::size_t kNameBytes = 255;

struct TemplateResult {
    std::optional<std::u32string> text;
    std::optional<Field> missing; // the first field the file does not hold
};

// The template filled for one file. takenFromModified: where no date taken is
// known, the modification date stands in. numberText: the running number as
// written, used for {序号}.
TemplateResult fillTemplate(const NameTemplate& t, const FileFacts& facts,
                            std::u32string_view oldName, std::u32string_view numberText,
                            bool takenFromModified);

// Whether the template holds the field.
bool usesField(const NameTemplate& t, Field f);

// The new name: the filled text placed as 批量改名 places its text (替换前缀,
// 在前缀的前面, 在前缀的后面), the prefix cut at a character boundary so that
// the whole name keeps to kNameBytes in UTF-8.
enum class FactsPlacement : std::uint8_t { ReplacePrefix, BeforePrefix, AfterPrefix };
std::u32string placeFilled(std::u32string_view oldName, std::u32string_view filled,
                           FactsPlacement placement);

} // namespace nw
