#pragma once
// Traditional/Simplified conversion phrase by phrase, through OpenCC. A
// configuration ("s2tw.json") names the dictionaries it chains; they are read
// on first use, because loading costs tens of milliseconds and megabytes.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace opencc {
class SimpleConverter;
}

namespace nw {

enum class ChineseScript { Traditional, Simplified };

class PhraseConverter {
public:
    virtual ~PhraseConverter() = default;
    // The text in the converter's script and standard, word by word (the
    // runs between spaces, digits and punctuation). A word already in that
    // script comes back as it is: one with a character only the target script
    // has and none only the other has, or one that the plain script
    // conversion (s2t, t2s) leaves alone; except under a standard with its
    // own vocabulary ("台湾正体及用词"), which gives its words to every word
    // that does not hold them yet. Text without Chinese is never changed, nor
    // is text holding escaped bytes (a name no code page reads).
    virtual std::u32string convert(std::u32string_view text) const = 0;
};

// The folder of OpenCC's configurations and dictionaries on this system.
std::string openccDataFolder();

// Why a configuration could not be used: the file the program looked for, and
// OpenCC's own message (none: the file is not there).
struct PhraseLoadError {
    std::string path;
    std::string message;
};

// The configurations of one folder, each loaded on first use and kept; safe to
// use from several threads (a load in the background, a click in the window).
// A failed load is tried again next time: the data may have been installed.
class PhraseConverters {
public:
    explicit PhraseConverters(std::string folder = openccDataFolder());
    ~PhraseConverters();
    PhraseConverters(const PhraseConverters&) = delete;
    PhraseConverters& operator=(const PhraseConverters&) = delete;

    const std::string& folder() const { return m_folder; }
    // Another folder from now on; what was loaded is dropped.
    void setFolder(std::string folder);

    // config converts into target ("s2hk.json": Traditional). A standard with
    // a vocabulary names the configuration back ("tw2sp.json"). On failure,
    // no converter and the error.
    std::shared_ptr<const PhraseConverter> get(const std::string& config, ChineseScript target,
                                               PhraseLoadError& error,
                                               const std::string& vocabularyBack = {});

    struct ScriptCharacters; // the characters only one script has
    // The way back with a standard's vocabulary and without.
    struct Vocabulary {
        std::shared_ptr<const opencc::SimpleConverter> back, plainBack;
    };

private:
    std::shared_ptr<const opencc::SimpleConverter> raw(const std::string& config,
                                                       PhraseLoadError& error);
    std::shared_ptr<const ScriptCharacters> scriptCharacters(PhraseLoadError& error);

    std::string m_folder;
    std::mutex m_mutex;
    std::vector<std::pair<std::string, std::shared_ptr<const opencc::SimpleConverter>>> m_raw;
    std::shared_ptr<const ScriptCharacters> m_script;
};

} // namespace nw
