#include "bench/bench.h"

namespace nw::bench {

// A pass on an exFAT drive through FUSE, where renames take more than one step
// and the pass is journalled (a dry run for the plan, the plan written and
// flushed, a mark per rename), against the same pass without the journal.
void benchJournalOnFuse(int files) {
    if (const std::string why = nw::test::FuseImage::unavailable(); !why.empty()) {
        std::printf("%-58s %8s   (%s)\n", "exFAT pass, journalled / not", "skipped", why.c_str());
        return;
    }
    nw::test::TempFolder mount, journals;
    nw::test::FuseImage::Seed seed{"many", {}};
    for (int i = 0; i < files; ++i)
        seed.files["file " + std::to_string(i) + ".txt"] = "x";
    // exFAT gives each file a cluster of its own.
    const std::string size = std::to_string(24 + files / 128) + "M";
    nw::test::FuseImage image(nw::test::FuseImage::Kind::ExFat, mount.path(), seed, size);
    if (!image.mounted()) {
        std::fprintf(stderr, "%s\n", image.failure().c_str());
        g_failed = true;
        return;
    }
    const std::string folder = mount.path() + "/many";
    nw::PosixFileSystem fs;
    fs.setJournalFolder(journals.path());
    auto pass = [&](const std::u32string& ext, bool journal) {
        nw::test::RealList list(fs, folder);
        list.selectAll();
        auto make = [&](nw::FileSystem&) {
            nw::RenameTool t;
            t.transform = [&](int, const std::u32string& n) {
                return nw::TransformResult::of(nw::ChangeFileExt(n, ext));
            };
            return t;
        };
        nw::PassResult r;
        const double s = seconds([&] {
            r = journal ? nw::RunPlannedPass(list, fs, make(fs), make)
                        : nw::RunRenamePass(list, fs, make(fs));
        });
        if (r.failure || r.renamed != files) {
            std::fprintf(stderr, "exFAT pass renamed %d of %d\n", r.renamed, files);
            g_failed = true;
        }
        return s;
    };
    // Each way round in turn: a pass on a folder that the pass before has
    // just churned is slower, whichever it is.
    std::vector<double> ratios;
    for (int round = 0; round < 2 * kRuns; ++round) {
        const bool first = round % 2 == 0;
        const double a = pass(U"bak", first), b = pass(U"txt", !first);
        ratios.push_back(first ? a / b : b / a);
    }
    const std::string what =
        "exFAT (FUSE) pass over " + std::to_string(files) + " files, journalled / not";
    report(what, "in-process call", ratios, "<= 1.05");
}

} // namespace nw::bench
