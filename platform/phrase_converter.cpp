#include "platform/phrase_converter.h"

#include "platform/name_codec.h"

#include <Lexicon.hpp>
#include <MarisaDict.hpp>
#include <SimpleConverter.hpp>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <sys/stat.h>
#include <unordered_set>

namespace nw {

struct PhraseConverters::ScriptCharacters {
    std::unordered_set<char32_t> simplifiedOnly, traditionalOnly;
};

namespace {

bool isRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// OpenCC says what went wrong by throwing.
std::string messageOf(const std::exception& e) {
    std::string m = e.what();
    if (m.empty())
        m = "?";
    return m;
}

// The keys of a character dictionary that are not among their own values:
// STCharacters' 们 (only 們 in Traditional text), not its 云 (云 and 雲).
bool collectOnly(const std::string& path, std::unordered_set<char32_t>& out,
                 PhraseLoadError& error) {
    error.path = path;
    if (!isRegularFile(path))
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error.message = "?";
        return false;
    }
    bool ok = true;
    try {
        const auto dict = opencc::MarisaDict::NewFromFile(f);
        for (const auto& entry : *dict->GetLexicon()) {
            const std::string key = entry->Key();
            const std::u32string k = decodeName(key);
            const auto values = entry->Values();
            if (k.size() == 1 && std::find(values.begin(), values.end(), key) == values.end())
                out.insert(k[0]);
        }
    } catch (const std::exception& e) {
        error.message = messageOf(e);
        ok = false;
    }
    std::fclose(f);
    return ok;
}

// Characters no key of OpenCC's dictionaries holds: ASCII other than letters
// (keys hold Han characters, a few with Latin capitals: U盘, SQL注入). No
// phrase can span one, so converting the runs between them converts the
// whole; and a run without a CJK character has nothing to convert. File names
// are mostly digits, dots and extensions around a few words: only the words
// go to OpenCC.
bool splitsPhrases(char32_t c) {
    return c < 0x80 && !((c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z'));
}

// The text with each run that holds a CJK character replaced by what
// convert makes of it.
template <class Convert> std::u32string eachRun(std::u32string_view text, Convert convert) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t j = i;
        bool cjk = false;
        while (j < text.size() && !splitsPhrases(text[j]))
            cjk = cjk || text[j] >= 0x2E80, ++j;
        if (cjk)
            out += convert(text.substr(i, j - i));
        else
            out += text.substr(i, j - i);
        for (i = j; i < text.size() && splitsPhrases(text[i]); ++i)
            out.push_back(text[i]);
    }
    return out;
}

std::u32string convertRun(const opencc::SimpleConverter& converter, std::u32string_view run) {
    return decodeName(converter.Convert(encodeName(run)));
}

class OpenccConverter final : public PhraseConverter {
public:
    OpenccConverter(std::shared_ptr<const opencc::SimpleConverter> converter,
                    std::shared_ptr<const opencc::SimpleConverter> plain,
                    std::shared_ptr<const PhraseConverters::ScriptCharacters> script,
                    ChineseScript target, PhraseConverters::Vocabulary vocabulary)
        : m_converter(std::move(converter)), m_plain(std::move(plain)), m_script(std::move(script)),
          m_target(target), m_vocabulary(std::move(vocabulary)) {}

    std::u32string convert(std::u32string_view text) const override {
        if (std::any_of(text.begin(), text.end(), isEscapedByte))
            return std::u32string(text);
        try {
            // Word by word (the runs between spaces, digits and dots): a name
            // may hold words of both scripts (几率 機率).
            return eachRun(text, [this](std::u32string_view run) { return convertWord(run); });
        } catch (const std::exception&) {
            return std::u32string(text); // a name stays rather than breaks
        }
    }

private:
    const std::unordered_set<char32_t>& from() const {
        return m_target == ChineseScript::Traditional ? m_script->simplifiedOnly
                                                      : m_script->traditionalOnly;
    }
    const std::unordered_set<char32_t>& to() const {
        return m_target == ChineseScript::Traditional ? m_script->traditionalOnly
                                                      : m_script->simplifiedOnly;
    }
    static bool has(const std::unordered_set<char32_t>& set, std::u32string_view text) {
        return std::any_of(text.begin(), text.end(), [&](char32_t c) { return set.count(c) != 0; });
    }

    // One word of a name.
    std::u32string convertWord(std::u32string_view run) const {
        if (has(from(), run))
            return convertRun(*m_converter, run);
        // Already in the target script, or of shared characters. A
        // standard's vocabulary still gives its words (算法 -> 演算法,
        // 數據庫 -> 資料庫, 字幕文件 -> 字幕檔案), unless the word holds them
        // already: OpenCC would give them twice (演算法 -> 演演算法). Such a
        // word goes back differently with the vocabulary and without it
        // (演算法 -> 算法, not 演算法), and its conversion is not final
        // (converting 演演算法 again gives 演演演算法).
        if (m_vocabulary.back && m_vocabulary.plainBack) {
            std::u32string converted = convertRun(*m_converter, run);
            if (convertRun(*m_vocabulary.back, run) != convertRun(*m_vocabulary.plainBack, run) &&
                convertRun(*m_converter, converted) != converted)
                return std::u32string(run);
            return converted;
        }
        // A word with a character only the target script has stays. Only
        // phrases tell whether a word of shared characters (日志, 制作, 几率)
        // needs converting: ask the plain script conversion.
        if (has(to(), run) || convertRun(*m_plain, run) == run)
            return std::u32string(run);
        return convertRun(*m_converter, run);
    }

    std::shared_ptr<const opencc::SimpleConverter> m_converter, m_plain;
    std::shared_ptr<const PhraseConverters::ScriptCharacters> m_script;
    ChineseScript m_target;
    PhraseConverters::Vocabulary m_vocabulary;
};

} // namespace

std::string openccDataFolder() { return NW_OPENCC_DATA_FOLDER; }

PhraseConverters::PhraseConverters(std::string folder) : m_folder(std::move(folder)) {}
PhraseConverters::~PhraseConverters() = default;

void PhraseConverters::setFolder(std::string folder) {
    std::lock_guard lock(m_mutex);
    m_folder = std::move(folder);
    m_raw.clear();
    m_script.reset();
}

std::shared_ptr<const opencc::SimpleConverter> PhraseConverters::raw(const std::string& config,
                                                                     PhraseLoadError& error) {
    for (const auto& [name, converter] : m_raw)
        if (name == config)
            return converter;
    // Always a full path: OpenCC would otherwise look in the working folder
    // first, and a folder being renamed may hold a file of that name.
    error.path = m_folder + "/" + config;
    if (!isRegularFile(error.path))
        return nullptr;
    try {
        auto converter = std::make_shared<const opencc::SimpleConverter>(error.path);
        m_raw.emplace_back(config, converter);
        return converter;
    } catch (const std::exception& e) {
        error.message = messageOf(e);
        return nullptr;
    }
}

std::shared_ptr<const PhraseConverters::ScriptCharacters>
PhraseConverters::scriptCharacters(PhraseLoadError& error) {
    if (m_script)
        return m_script;
    auto script = std::make_shared<ScriptCharacters>();
    if (!collectOnly(m_folder + "/STCharacters.ocd2", script->simplifiedOnly, error) ||
        !collectOnly(m_folder + "/TSCharacters.ocd2", script->traditionalOnly, error))
        return nullptr;
    m_script = script;
    return m_script;
}

std::shared_ptr<const PhraseConverter> PhraseConverters::get(const std::string& config,
                                                             ChineseScript target,
                                                             PhraseLoadError& error,
                                                             const std::string& vocabularyBack) {
    // Loads are rare; one lock for them all keeps a configuration from being
    // read twice when a background load and a click meet.
    std::lock_guard lock(m_mutex);
    error = {};
    auto script = scriptCharacters(error);
    if (!script)
        return nullptr;
    auto plain = raw(target == ChineseScript::Traditional ? "s2t.json" : "t2s.json", error);
    if (!plain)
        return nullptr;
    auto converter = raw(config, error);
    if (!converter)
        return nullptr;
    Vocabulary vocabulary;
    if (!vocabularyBack.empty()) {
        vocabulary.back = raw(vocabularyBack, error);
        vocabulary.plainBack =
            raw(target == ChineseScript::Traditional ? "t2s.json" : "s2t.json", error);
        if (!vocabulary.back || !vocabulary.plainBack)
            return nullptr;
    }
    return std::make_shared<OpenccConverter>(converter, plain, script, target, vocabulary);
}

} // namespace nw
