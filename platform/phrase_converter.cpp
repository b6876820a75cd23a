#include "platform/phrase_converter.h"

#include "core/script_words.h"

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

std::u32string convertRun(const opencc::SimpleConverter& converter, std::u32string_view run) {
    return decodeName(converter.Convert(encodeName(run)));
}

class OpenccConverter final : public PhraseConverter {
public:
    OpenccConverter(std::shared_ptr<const opencc::SimpleConverter> converter,
                    std::shared_ptr<const opencc::SimpleConverter> plain,
                    std::shared_ptr<const PhraseConverters::ScriptCharacters> script,
                    ChineseScript target, PhraseConverters::Vocabulary vocabulary) {
        auto by = [](std::shared_ptr<const opencc::SimpleConverter> c) {
            return [c = std::move(c)](std::u32string_view run) { return convertRun(*c, run); };
        };
        auto in =
            [script](const std::unordered_set<char32_t> PhraseConverters::ScriptCharacters::*set) {
                return [script, set](char32_t c) { return ((*script).*set).count(c) != 0; };
            };
        const bool traditional = target == ChineseScript::Traditional;
        m_dictionaries.convert = by(std::move(converter));
        m_dictionaries.plain = by(std::move(plain));
        if (vocabulary.back && vocabulary.plainBack) {
            m_dictionaries.back = by(std::move(vocabulary.back));
            m_dictionaries.plainBack = by(std::move(vocabulary.plainBack));
        }
        m_dictionaries.sourceOnly =
            in(traditional ? &PhraseConverters::ScriptCharacters::simplifiedOnly
                           : &PhraseConverters::ScriptCharacters::traditionalOnly);
        m_dictionaries.targetOnly =
            in(traditional ? &PhraseConverters::ScriptCharacters::traditionalOnly
                           : &PhraseConverters::ScriptCharacters::simplifiedOnly);
    }

    std::u32string convert(std::u32string_view text) const override {
        if (std::any_of(text.begin(), text.end(), isEscapedByte))
            return std::u32string(text);
        try {
            return nameInTargetScript(text, m_dictionaries);
        } catch (const std::exception&) {
            return std::u32string(text); // a name stays rather than breaks
        }
    }

private:
    ScriptDictionaries m_dictionaries;
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
