// Pass journals read back: bytes of any kind never upset the reader; a
// journal it accepts names nothing outside its one folder and reads the same
// once written again; a journal written from any names is read back whole
// exactly where every name is one entry of a folder, and torn anywhere in its
// plan it is refused.
#include "platform/journal.h"
#include "fuzz_support.h"
#include "platform/record_bytes.h"

#include <algorithm>

namespace {

bool samePlan(const std::vector<nw::PlannedRename>& a, const std::vector<nw::PlannedRename>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].oldName != b[i].oldName || a[i].newName != b[i].newName)
            return false;
    return true;
}

bool same(const nw::JournalContents& a, const nw::JournalContents& b) {
    return a.pid == b.pid && a.idsStable == b.idsStable && a.tool == b.tool &&
           a.folder == b.folder && a.folderId == b.folderId && samePlan(a.plan, b.plan) &&
           samePlan(a.marks, b.marks);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::string folder;
    if (const auto j = nw::readJournal(bytes, &folder)) {
        NW_FUZZ_CHECK(nw::safeRecordFolder(j->folder) && j->folder == folder);
        for (const auto* list : {&j->plan, &j->marks})
            for (const nw::PlannedRename& p : *list)
                NW_FUZZ_CHECK(nw::safeRecordName(p.oldName) && nw::safeRecordName(p.newName));
        const auto again = nw::readJournal(nw::journalBytes(*j));
        NW_FUZZ_CHECK(again && same(*again, *j));
    }

    // A journal made of names drawn from the input.
    FuzzedDataProvider in(data, size);
    nw::JournalContents made;
    made.pid = in.ConsumeIntegral<std::uint64_t>();
    made.idsStable = in.ConsumeBool();
    made.tool = in.ConsumeRandomLengthString(16);
    made.folder = "/media/" + in.ConsumeRandomLengthString(16);
    made.folderId = {in.ConsumeIntegral<std::uint64_t>(), in.ConsumeIntegral<std::uint64_t>()};
    bool safe = nw::safeRecordFolder(made.folder);
    const int renames = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < renames; ++i) {
        nw::PlannedRename p{in.ConsumeRandomLengthString(12), in.ConsumeRandomLengthString(12)};
        safe = safe && nw::safeRecordName(p.oldName) && nw::safeRecordName(p.newName);
        made.plan.push_back(p);
    }
    if (!made.plan.empty() && in.ConsumeBool())
        made.marks.push_back(
            made.plan[in.ConsumeIntegralInRange<std::size_t>(0, made.plan.size() - 1)]);
    const std::string written = nw::journalBytes(made);
    const auto back = nw::readJournal(written);
    NW_FUZZ_CHECK(back.has_value() == safe);
    if (back)
        NW_FUZZ_CHECK(same(*back, made));
    // Cut short anywhere before its plan ends, it is refused; a mark cut
    // short is dropped, never read half.
    nw::JournalContents planOnly = made;
    planOnly.marks.clear();
    const std::size_t plan = nw::journalBytes(planOnly).size();
    const std::size_t cut = in.ConsumeIntegralInRange<std::size_t>(0, written.size());
    const auto torn = nw::readJournal(written.substr(0, cut));
    if (cut < plan)
        NW_FUZZ_CHECK(!torn);
    else if (torn && cut < written.size())
        NW_FUZZ_CHECK(torn->marks.empty() && samePlan(torn->plan, made.plan));
    return 0;
}
