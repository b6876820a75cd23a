#include "tests/support/folder_snapshot.h"

#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace nw::test {

Snapshot snapshot(const std::string& folder) {
    Snapshot s;
    DIR* d = ::opendir(folder.c_str());
    if (!d)
        throw std::runtime_error("cannot open " + folder);
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        ::lstat(path.c_str(), &st);
        if (S_ISDIR(st.st_mode)) {
            s[name] = "<folder>";
        } else if (S_ISREG(st.st_mode)) {
            std::ifstream f(path, std::ios::binary);
            std::stringstream ss;
            ss << f.rdbuf();
            s[name] = ss.str();
        } else {
            s[name] = "<special>";
        }
    }
    ::closedir(d);
    return s;
}

Snapshot snapshotTree(const std::string& folder) {
    Snapshot s;
    for (const auto& [name, content] : snapshot(folder)) {
        s[name] = content;
        if (content == "<folder>")
            for (const auto& [below, what] : snapshotTree(folder + "/" + name))
                s[name + "/" + below] = what;
    }
    return s;
}

Snapshot renamed(Snapshot before, const std::map<std::string, std::string>& renames) {
    Snapshot moved;
    for (const auto& [from, to] : renames) {
        moved[to] = before.at(from);
        before.erase(from);
    }
    for (auto& [name, content] : moved) {
        if (before.count(name))
            throw std::logic_error("expected renames would replace " + name);
        before[name] = content;
    }
    return before;
}

void writeFile(const std::string& folder, const std::string& name, const std::string& content) {
    std::ofstream f(folder + "/" + name, std::ios::binary);
    f << content;
}

TempFolder::TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/namewright-test-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = tmpl;
}

TempFolder::~TempFolder() {
    // Give back write permission first, then remove everything below.
    ::nftw(
        m_path.c_str(),
        [](const char* p, const struct stat* sb, int type, struct FTW*) {
            if (type == FTW_D || type == FTW_DP)
                ::chmod(p, sb->st_mode | S_IRWXU);
            return 0;
        },
        16, FTW_PHYS);
    ::nftw(
        m_path.c_str(),
        [](const char* p, const struct stat*, int, struct FTW*) { return ::remove(p); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

} // namespace nw::test
