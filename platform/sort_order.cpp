#include "platform/sort_order.h"

#include "platform/file_metadata.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>
#include <numeric>

namespace nw {
namespace {

// Reorders files by a key made once per file.
template <typename Key>
void sortByKey(std::vector<ListedFile>& files, const std::vector<Key>& keys) {
    std::vector<std::size_t> order(files.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (keys[a] != keys[b])
            return keys[a] < keys[b];
        return files[a].bytes < files[b].bytes;
    });
    std::vector<ListedFile> sorted;
    sorted.reserve(files.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(files[i]));
    files = std::move(sorted);
}

// Collation keys of Chinese in pinyin order (the Chinese collation's
// default), digits compared as numbers. Made once per name: comparing keys
// is a byte comparison.
bool pinyinKeys(const std::vector<ListedFile>& files, std::vector<std::string>& keys) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(icu::Locale("zh"), status));
    if (U_FAILURE(status) || !collator)
        return false;
    collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
    if (U_FAILURE(status))
        return false;
    keys.resize(files.size());
    std::vector<uint8_t> buffer(256);
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::u32string& n = files[i].name;
        const icu::UnicodeString text = icu::UnicodeString::fromUTF32(
            reinterpret_cast<const UChar32*>(n.data()), static_cast<int32_t>(n.size()));
        int32_t size =
            collator->getSortKey(text, buffer.data(), static_cast<int32_t>(buffer.size()));
        if (size > static_cast<int32_t>(buffer.size())) {
            buffer.resize(static_cast<std::size_t>(size));
            size = collator->getSortKey(text, buffer.data(), size);
        }
        keys[i].assign(reinterpret_cast<const char*>(buffer.data()),
                       static_cast<std::size_t>(std::max(size, 0)));
    }
    return true;
}

} // namespace

void sortListed(FileSystem& fs, const std::string& folder, std::vector<ListedFile>& files,
                SortOrder order) {
    switch (order.key) {
    case SortKey::Natural: break; // as listed
    case SortKey::Pinyin: {
        std::vector<std::string> keys;
        if (pinyinKeys(files, keys))
            sortByKey(files, keys);
        break;
    }
    case SortKey::Modified:
    case SortKey::Size: {
        std::vector<long long> keys(files.size(), -1);
        for (std::size_t i = 0; i < files.size(); ++i)
            if (const auto e = fs.entryInfo(folder, files[i].bytes))
                keys[i] = order.key == SortKey::Size ? e->stamp.size : e->stamp.mtimeNs;
        sortByKey(files, keys);
        break;
    }
    case SortKey::Taken: {
        std::vector<std::string> paths;
        paths.reserve(files.size());
        for (const ListedFile& f : files)
            paths.push_back(folder + "/" + f.bytes);
        const auto facts = readAllFacts(sharedFactsCache(), paths, nullptr, nullptr);
        // Files with a date first, by that date; the others after them.
        std::vector<std::pair<bool, LocalDateTime>> keys(files.size(), {true, {}});
        for (std::size_t i = 0; i < files.size(); ++i)
            if (facts[i] && facts[i]->facts.taken)
                keys[i] = {false, *facts[i]->facts.taken};
        sortByKey(files, keys);
        break;
    }
    }
    if (order.reversed)
        std::reverse(files.begin(), files.end());
}

} // namespace nw
