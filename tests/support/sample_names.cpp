#include "tests/support/sample_names.h"

#include "platform/name_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <set>

namespace nw::test {
namespace {

// Everyday words of each language, as a user would name documents, photos,
// songs and downloads with them.
const std::vector<std::u32string>& wordsOf(NameEncoding e) {
    static const std::vector<std::u32string> simplified{
        U"照片",     U"会议记录",   U"工作报告", U"新建文件夹", U"合同",     U"发票",
        U"简历",     U"学习资料",   U"旅游",     U"家庭",       U"生日聚会", U"年终总结",
        U"项目计划", U"产品说明书", U"财务报表", U"毕业论文",   U"课程表",   U"视频",
        U"音乐",     U"北京",       U"上海",     U"春节",       U"婚礼",     U"孩子",
        U"数据",     U"客户名单",   U"销售",     U"培训",       U"通知",     U"申请表",
        U"设计稿",   U"截图",       U"备份",     U"老照片",     U"风景",     U"美食",
        U"公司",     U"第一章",     U"作业",     U"考试",       U"说明",     U"草稿"};
    static const std::vector<std::u32string> traditional{
        U"會議記錄", U"電腦",     U"繁體中文檔案", U"臺灣照片", U"工作報告", U"新增資料夾",
        U"合約",     U"發票",     U"履歷",         U"學習資料", U"旅遊",     U"家庭",
        U"生日派對", U"年終總結", U"專案計畫",     U"產品說明", U"財務報表", U"畢業論文",
        U"課表",     U"影片",     U"音樂",         U"臺北",     U"香港",     U"春節",
        U"婚禮",     U"孩子",     U"資料",         U"客戶名單", U"銷售",     U"訓練",
        U"通知",     U"申請表",   U"設計圖",       U"截圖",     U"備份",     U"舊照片",
        U"風景",     U"美食",     U"公司",         U"第一章",   U"作業",     U"考試"};
    static const std::vector<std::u32string> japanese{U"日本語のファイル",
                                                      U"東京タワー",
                                                      U"写真",
                                                      U"会議資料",
                                                      U"旅行",
                                                      U"新しいフォルダー",
                                                      U"請求書",
                                                      U"見積書",
                                                      U"履歴書",
                                                      U"議事録",
                                                      U"家族",
                                                      U"誕生日",
                                                      U"音楽",
                                                      U"動画",
                                                      U"スクリーンショット",
                                                      U"プレゼン",
                                                      U"データ",
                                                      U"バックアップ",
                                                      U"お知らせ",
                                                      U"申込書",
                                                      U"京都",
                                                      U"大阪",
                                                      U"桜",
                                                      U"夏休み",
                                                      U"子供",
                                                      U"報告書",
                                                      U"マニュアル",
                                                      U"テスト",
                                                      U"メモ",
                                                      U"企画書",
                                                      U"売上",
                                                      U"お客様リスト",
                                                      U"年賀状",
                                                      U"結婚式",
                                                      U"料理",
                                                      U"ダウンロード",
                                                      U"第一章",
                                                      U"授業",
                                                      U"試験",
                                                      U"下書き"};
    static const std::vector<std::u32string> korean{
        U"한국어 문서", U"사진",     U"회의록",    U"보고서", U"여행",          U"새 폴더",
        U"계약서",      U"영수증",   U"이력서",    U"가족",   U"생일",          U"음악",
        U"동영상",      U"스크린샷", U"발표 자료", U"데이터", U"백업",          U"공지사항",
        U"신청서",      U"서울",     U"부산",      U"제주도", U"여름 방학",     U"아이들",
        U"결혼식",      U"요리",     U"다운로드",  U"제1장",  U"숙제",          U"시험",
        U"초안",        U"매출",     U"고객 목록", U"회사",   U"프로젝트 계획", U"졸업 논문",
        U"수업",        U"메모",     U"설명서",    U"풍경"};
    static const std::vector<std::u32string> western{
        U"naïve",       U"Müller Straße", U"café",      U"résumé",       U"Fußball",
        U"Ångström",    U"año nuevo",     U"São Paulo", U"crème brûlée", U"Bücher",
        U"Übersicht",   U"Größe",         U"déjà vu",   U"façade",       U"piñata",
        U"Zürich",      U"Malmö",         U"København", U"Rechnung",     U"Geburtstag",
        U"vacances",    U"été",           U"réunion",   U"Präsentation", U"Führerschein",
        U"Kündigung",   U"Lebenslauf",    U"fotos",     U"canción",      U"niño",
        U"información", U"Bewerbung",     U"Grüße",     U"Noël",         U"hôtel",
        U"forêt",       U"Ärzte",         U"Öl",        U"Señora",       U"cañón",
        U"coração",     U"João",          U"Hochzeit",  U"Familie",      U"photo",
        U"Straße",      U"garçon",        U"Tromsø"};
    switch (e) {
    case NameEncoding::Gbk: return simplified;
    case NameEncoding::Big5:
    case NameEncoding::EucTw: return traditional;
    case NameEncoding::ShiftJis:
    case NameEncoding::EucJp: return japanese;
    case NameEncoding::EucKr: return korean;
    default: return western;
    }
}

template <class T> const T& pick(const std::vector<T>& v, std::mt19937& rng) {
    return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)];
}

const char* icuName(NameEncoding e) {
    switch (e) {
    case NameEncoding::Gbk: return "GBK";
    case NameEncoding::Big5: return "Big5-HKSCS";
    case NameEncoding::ShiftJis: return "Shift_JIS";
    case NameEncoding::EucKr: return "EUC-KR";
    case NameEncoding::Windows1252: return "windows-1252";
    case NameEncoding::EucJp: return "EUC-JP";
    case NameEncoding::EucTw: return "EUC-TW";
    case NameEncoding::Utf8: break;
    }
    return "UTF-8";
}

} // namespace

std::u32string sampleName(NameEncoding language, std::mt19937& rng) {
    static const std::vector<std::u32string> extensions{U".txt", U".jpg",  U".doc", U".pdf",
                                                        U".mp3", U".xlsx", U".JPG", U".zip",
                                                        U".png", U".docx", U".mp4", U""};
    static const std::vector<std::u32string> joiners{U"", U"_", U" ", U"-"};
    std::uniform_int_distribution<int> words(1, 3), chance(0, 3), number(1, 2024);
    std::u32string name = pick(wordsOf(language), rng);
    const bool western = language == NameEncoding::Windows1252;
    const int more = words(rng) - 1;
    for (int i = 0; i < more; ++i)
        name +=
            (western ? std::u32string(U" ") : pick(joiners, rng)) + pick(wordsOf(language), rng);
    if (chance(rng) == 0) {
        const std::string digits = std::to_string(number(rng));
        name += pick(joiners, rng) + std::u32string(digits.begin(), digits.end());
    }
    return name + pick(extensions, rng);
}

std::optional<std::string> encodeWithIcu(NameEncoding e, const std::u32string& name) {
    UErrorCode st = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open(icuName(e), &st);
    if (U_FAILURE(st))
        return std::nullopt;
    ucnv_setFromUCallBack(cnv, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &st);
    std::u16string utf16(name.size() * 2 + 1, u'\0');
    int32_t len = 0;
    u_strFromUTF32(reinterpret_cast<UChar*>(utf16.data()), static_cast<int32_t>(utf16.size()), &len,
                   reinterpret_cast<const UChar32*>(name.data()), static_cast<int32_t>(name.size()),
                   &st);
    std::string out(name.size() * 4 + 8, '\0');
    const int32_t n = U_SUCCESS(st)
                          ? ucnv_fromUChars(cnv, out.data(), static_cast<int32_t>(out.size()),
                                            reinterpret_cast<const UChar*>(utf16.data()), len, &st)
                          : 0;
    ucnv_close(cnv);
    if (U_FAILURE(st))
        return std::nullopt;
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::vector<SampleName> sampleFolder(NameEncoding e, int n, std::mt19937& rng) {
    std::set<std::string> names;
    std::vector<SampleName> out;
    while (static_cast<int>(out.size()) < n) {
        const std::u32string text = sampleName(e, rng);
        const auto bytes = encodeWithIcu(e, text);
        // A name of ASCII alone says nothing of its code page, and bytes that
        // are valid UTF-8 are UTF-8: a folder here has names that need one.
        const bool legacy = bytes && !isUtf8(*bytes);
        if (legacy && names.insert(*bytes).second)
            out.push_back({*bytes, text});
    }
    return out;
}

} // namespace nw::test
