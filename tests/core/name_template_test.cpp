#include "core/name_template.h"
#include "platform/name_codec.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

FileFacts photo() {
    FileFacts f;
    f.taken = LocalDateTime{2024, 5, 1, 9, 4, 3, 25};
    f.camera = U"Canon EOS R5";
    f.width = 6000;
    f.height = 4000;
    f.modified = LocalDateTime{2024, 6, 30, 23, 59, 58, -1};
    return f;
}

FileFacts song() {
    FileFacts f;
    f.artist = U"周杰倫";
    f.title = U"晴天";
    f.album = U"葉惠美";
    f.track = 3;
    f.year = 2003;
    f.disc = 1;
    f.modified = LocalDateTime{2024, 6, 30, 23, 59, 58, -1};
    return f;
}

std::u32string filled(std::u32string_view text, const FileFacts& facts,
                      std::u32string_view oldName = U"IMG_0001.JPG", bool fromModified = false) {
    const auto t = parseTemplate(text);
    if (!std::holds_alternative<NameTemplate>(t))
        return U"<bad template>";
    const TemplateResult r =
        fillTemplate(std::get<NameTemplate>(t), facts, oldName, U"007", fromModified);
    if (r.text)
        return *r.text;
    std::u32string missing = U"<missing ";
    missing.append(fieldName(*r.missing));
    missing.append(U">");
    return missing;
}

// Every field, the date formats, and a file that lacks a field.
TEST(NameTemplate, FieldsAndFormats) {
    const std::vector<std::tuple<const char32_t*, bool, const char32_t*>> rows{
        {U"{拍摄日期}", true, U"2024-05-01"},
        {U"{拍摄时间}", true, U"090403"},
        {U"{拍摄日期:yyyyMMdd_HHmmss}", true, U"20240501_090403"},
        {U"{拍摄日期:yyyy-MM-dd HH.mm.ss.zzz}", true, U"2024-05-01 09.04.03.025"},
        {U"{拍摄日期:yy年M月d日 H点m分s秒}", true, U"24年5月1日 9点4分3秒"},
        {U"{拍摄日期:'yyyy'yyyy}", true, U"yyyy2024"},
        {U"{相机} {宽}x{高}", true, U"Canon EOS R5 6000x4000"},
        {U"{修改日期}_{修改时间}", true, U"2024-06-30_235958"},
        {U"{原文件名}-{序号}.{扩展名}", true, U"IMG_0001-007.JPG"},
        {U"{{{相机}}}", true, U"{Canon EOS R5}"},
        {U"{歌手} - {标题}", false, U"周杰倫 - 晴天"},
        {U"{光盘}-{音轨} {专辑} ({年份})", false, U"1-03 葉惠美 (2003)"},
        {U"{歌手}", true, U"<missing 歌手>"},
        {U"{拍摄日期}", false, U"<missing 拍摄日期>"},
        {U"{宽}", false, U"<missing 宽>"},
    };
    for (const auto& [text, isPhoto, expected] : rows)
        EXPECT_EQ(filled(text, isPhoto ? photo() : song()), expected) << toDisplayUtf8(text);
    // The modification date stands in where asked, and only then.
    EXPECT_EQ(filled(U"{拍摄日期}", song(), U"a.mp3", true), U"2024-06-30");
    EXPECT_EQ(filled(U"{拍摄日期}", photo(), U"a.jpg", true), U"2024-05-01");
    // A name without an extension has an empty one, which is no missing field.
    EXPECT_EQ(filled(U"{原文件名}[{扩展名}]", photo(), U"README"), U"README[]");
}

TEST(NameTemplate, TemplatesThatCannotBeUsed) {
    using K = TemplateError::Kind;
    const std::vector<std::tuple<const char32_t*, K, const char32_t*>> rows{
        {U"", K::Empty, U""},
        {U"{拍摄日期", K::Unclosed, U""},
        {U"a}b", K::Unopened, U""},
        {U"{日期}", K::UnknownField, U"日期"},
        {U"{}", K::UnknownField, U""},
        {U"{歌手:yyyy}", K::BadFormat, U"歌手:yyyy"},
        {U"{拍摄日期:}", K::BadFormat, U"拍摄日期:"},
    };
    for (const auto& [text, kind, what] : rows) {
        const auto t = parseTemplate(text);
        ASSERT_TRUE(std::holds_alternative<TemplateError>(t)) << toDisplayUtf8(text);
        EXPECT_EQ(std::get<TemplateError>(t).kind, kind) << toDisplayUtf8(text);
        EXPECT_EQ(std::get<TemplateError>(t).what, what) << toDisplayUtf8(text);
    }
}

// A tag's value made fit for a name: "/" and controls become "_", dots and
// spaces at its end go; a value left empty is a missing field.
TEST(NameTemplate, ValuesAreCleaned) {
    FileFacts f = song();
    f.artist = U"AC/DC";
    f.title = U"Line\none\t...  ";
    f.album = U"...";
    EXPECT_EQ(filled(U"{歌手} - {标题}", f), U"AC_DC - Line_one_");
    EXPECT_EQ(filled(U"{专辑}", f), U"<missing 专辑>");
}

// Placed as 批量改名 places its text; a name past 255 bytes is cut at a
// character boundary before its extension.
TEST(NameTemplate, PlacementAndTheLimitOfBytes) {
    EXPECT_EQ(placeFilled(U"IMG_1.jpg", U"2024-05-01", FactsPlacement::ReplacePrefix),
              U"2024-05-01.jpg");
    EXPECT_EQ(placeFilled(U"IMG_1.jpg", U"2024-05-01 ", FactsPlacement::BeforePrefix),
              U"2024-05-01 IMG_1.jpg");
    EXPECT_EQ(placeFilled(U"IMG_1.jpg", U"_2024", FactsPlacement::AfterPrefix), U"IMG_1_2024.jpg");
    EXPECT_EQ(placeFilled(U"README", U"x", FactsPlacement::ReplacePrefix), U"x");
    std::vector<std::u32string> titles(3);
    titles[0].assign(200, U'晴');
    titles[1].assign(300, U'a');
    titles[2].assign(83, U'晴');
    titles[2].append(U"  b");
    for (const std::u32string& title : titles) {
        const std::u32string name = placeFilled(U"a.flac", title, FactsPlacement::ReplacePrefix);
        const std::string bytes = encodeName(name);
        EXPECT_LE(bytes.size(), 255U);
        EXPECT_GE(bytes.size(), 250U);
        EXPECT_EQ(name.substr(name.size() - 5), U".flac");
        EXPECT_EQ(decodeName(bytes), name); // whole characters only
        EXPECT_NE(name[name.size() - 6], U' ');
    }
}

} // namespace
} // namespace nw
