// Records of the history read back: bytes of any kind never upset the
// reader; a record it accepts names nothing outside its one folder, holds as
// many renames as its header says and reads the same once written again; a
// record written from any names is read back whole exactly where every name
// is one entry of a folder (and every folder below it, in a tree's record,
// one path of such names), and cut short anywhere it is refused.
#include "platform/history.h"
#include "fuzz_support.h"
#include "platform/record_bytes.h"

namespace {

bool same(const nw::HistoryRecord& a, const nw::HistoryRecord& b) {
    if (a.time != b.time || a.folder != b.folder || a.folderId != b.folderId || a.tool != b.tool ||
        a.undo != b.undo || a.renames.size() != b.renames.size())
        return false;
    for (std::size_t i = 0; i < a.renames.size(); ++i) {
        const nw::HistoryRename &x = a.renames[i], &y = b.renames[i];
        if (x.oldName != y.oldName || x.newName != y.newName || x.sub != y.sub || x.id != y.id ||
            x.stamp.has_value() != y.stamp.has_value() ||
            (x.stamp && (x.stamp->size != y.stamp->size || x.stamp->mtimeNs != y.stamp->mtimeNs)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto r = nw::readHistoryRecord(bytes)) {
        NW_FUZZ_CHECK(nw::safeRecordFolder(r->folder) && r->count == r->renames.size());
        for (const nw::HistoryRename& n : r->renames)
            NW_FUZZ_CHECK(nw::safeRecordName(n.oldName) && nw::safeRecordName(n.newName) &&
                          nw::safeRecordSub(n.sub));
        const auto again = nw::readHistoryRecord(nw::historyBytes(*r));
        NW_FUZZ_CHECK(again && same(*again, *r));
    }

    // A record made of names drawn from the input.
    FuzzedDataProvider in(data, size);
    nw::HistoryRecord made;
    made.time = in.ConsumeIntegral<std::int64_t>();
    made.folder = "/home/" + in.ConsumeRandomLengthString(16);
    made.folderId = {in.ConsumeIntegral<std::uint64_t>(), in.ConsumeIntegral<std::uint64_t>()};
    made.tool = in.ConsumeRandomLengthString(16);
    made.undo = in.ConsumeBool();
    bool safe = nw::safeRecordFolder(made.folder);
    const int renames = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < renames; ++i) {
        nw::HistoryRename n{in.ConsumeRandomLengthString(12),
                            in.ConsumeRandomLengthString(12),
                            std::nullopt,
                            std::nullopt,
                            {}};
        if (in.ConsumeBool())
            n.sub = in.ConsumeRandomLengthString(12);
        if (in.ConsumeBool())
            n.id = nw::FileId{in.ConsumeIntegral<std::uint64_t>(),
                              in.ConsumeIntegral<std::uint64_t>()};
        if (in.ConsumeBool())
            n.stamp =
                nw::FileStamp{in.ConsumeIntegral<long long>(), in.ConsumeIntegral<long long>()};
        safe = safe && nw::safeRecordName(n.oldName) && nw::safeRecordName(n.newName) &&
               nw::safeRecordSub(n.sub);
        made.renames.push_back(n);
    }
    const std::string written = nw::historyBytes(made);
    const auto back = nw::readHistoryRecord(written);
    NW_FUZZ_CHECK(back.has_value() == safe);
    if (back)
        NW_FUZZ_CHECK(same(*back, made) && back->count == made.renames.size());
    const std::size_t cut = in.ConsumeIntegralInRange<std::size_t>(0, written.size());
    if (cut < written.size())
        NW_FUZZ_CHECK(!nw::readHistoryRecord(written.substr(0, cut)));
    return 0;
}
