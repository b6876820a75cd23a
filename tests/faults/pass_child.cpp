// A pass as the program runs it, in a process of its own that a test can kill
// at any instant: nw_pass_child FOLDER TOOL JOURNALS link|plain [die:CALL:N]
// TOOL: upper, lower (a change of letter case only), or ext:EXT; "tree-" in
// front makes it a pass over the folder's whole tree, folders included. With die, the
// process kills itself right after the N-th system call CALL (noreplace, link,
// unlink, create, mkdir, rename) of the renames returns: every step of every method
// can be cut off on purpose, not only where a random kill happens to land.
#include "core/convert_name.h"
#include "core/dry_run.h"
#include "core/extension.h"
#include "core/tree_pass.h"
#include "platform/posix_file_system.h"
#include "tests/support/real_list.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

class DyingCalls : public nw::RenameCalls {
public:
    DyingCalls(std::string call, long n) : m_call(std::move(call)), m_left(n) {}
    int renameNoReplace(int dir, const char* from, const char* to) override {
        return after("noreplace", RenameCalls::renameNoReplace(dir, from, to));
    }
    int link(int dir, const char* from, const char* to) override {
        return after("link", RenameCalls::link(dir, from, to));
    }
    int unlink(int dir, const char* name) override {
        return after("unlink", RenameCalls::unlink(dir, name));
    }
    int createExclusive(int dir, const char* name, dev_t& device, ino_t& inode) override {
        return after("create", RenameCalls::createExclusive(dir, name, device, inode));
    }
    int createFolder(int dir, const char* name, dev_t& device, ino_t& inode) override {
        return after("mkdir", RenameCalls::createFolder(dir, name, device, inode));
    }
    int rename(int dir, const char* from, const char* to) override {
        return after("rename", RenameCalls::rename(dir, from, to));
    }

private:
    int after(const char* call, int result) {
        if (m_call == call && result == 0 && --m_left == 0)
            std::raise(SIGKILL);
        return result;
    }
    std::string m_call;
    long m_left;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const std::string folder = argv[1];
    const bool tree = std::string(argv[2]).rfind("tree-", 0) == 0;
    const std::string tool = tree ? std::string(argv[2]).substr(5) : argv[2];
    nw::PosixFileSystem fs;
    fs.setJournalFolder(argv[3]);

    if (argc > 4 && std::string(argv[4]) == "link")
        fs.setNoReplaceUnsupported(true);
    std::unique_ptr<DyingCalls> dying;
    if (argc > 5 && std::string(argv[5]).rfind("die:", 0) == 0) {
        const std::string how = argv[5];
        const std::size_t colon = how.rfind(':');
        dying = std::make_unique<DyingCalls>(how.substr(4, colon - 4),
                                             std::atol(how.c_str() + colon + 1));
        fs.setRenameCalls(dying.get());
    }
    auto make = [&](nw::FileSystem&) {
        nw::RenameTool t;
        t.transform = [&](int, const std::u32string& n) {
            if (tool == "upper" || tool == "lower")
                return nw::TransformResult::of(
                    nw::ConvertName(n, {tool == "upper" ? nw::CaseMode::Upper : nw::CaseMode::Lower,
                                        true, true, nw::SpaceMode::SpaceToUnderscore}));
            const std::u32string ext = nw::decodeName(tool.substr(4));
            return nw::TransformResult::of(nw::ChangeFileExt(n, ext));
        };
        return t;
    };
    nw::PassResult r;
    if (tree) {
        nw::test::RealTreeList list(fs, folder);
        r = nw::RunTreePass(list, fs, make(fs), make);
    } else {
        nw::test::RealList list(fs, folder);
        list.selectAll();
        r = nw::RunPlannedPass(list, fs, make(fs), make);
    }
    if (r.failure) {
        std::fprintf(stderr, "pass stopped at entry %d (%s -> %s), errno %d\n", r.failure->index,
                     nw::encodeName(r.failure->oldName).c_str(),
                     nw::encodeName(r.failure->newName.value_or(U"")).c_str(),
                     r.failure->fs.sysError);
        return 1;
    }
    return 0;
}
