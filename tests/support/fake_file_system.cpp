#include "tests/support/fake_file_system.h"

namespace nw::test {

void FakeFileSystem::add(const std::string& folder, const std::string& name, std::string content,
                         EntryKind kind) {
    folders[folder][name] = FakeFile{std::move(content), kind, true, m_nextInode++};
}

std::optional<EntryInfo> FakeFileSystem::entryInfo(const std::string& folder,
                                                   const std::string& name) {
    const auto it = folders.find(folder);
    if (it == folders.end())
        return std::nullopt;
    const auto f = it->second.find(name);
    if (f == it->second.end())
        return std::nullopt;
    return EntryInfo{EntryShape{f->second.kind, false}, FileId{1, f->second.inode},
                     FileStamp{static_cast<long long>(f->second.content.size()), 0}};
}

std::optional<FileId> FakeFileSystem::folderId(const std::string& folder) {
    if (!folders.count(folder))
        return std::nullopt;
    const auto n = folderNumbers.find(folder);
    return FileId{1, n == folderNumbers.end() ? 0 : n->second};
}

FsStatus FakeFileSystem::remove(const std::string& folder, const std::string& name) {
    const auto it = folders.find(folder);
    if (it == folders.end() || !it->second.erase(name))
        return FsStatus{FsError::NotFound, 2};
    return {};
}

bool FakeFileSystem::sameContent(const std::string& folder, const std::string& a,
                                 const std::string& b) {
    const auto it = folders.find(folder);
    return it != folders.end() && it->second.count(a) && it->second.count(b) &&
           it->second.at(a).content == it->second.at(b).content;
}

FsStatus FakeFileSystem::beginPass(const std::string& folder,
                                   const std::vector<PlannedRename>& plan,
                                   const std::string& tool) {
    if (plan.empty() || journalFolder.empty())
        return {};
    const auto id = folderId(folder);
    if (!id)
        return FsStatus{FsError::NotFound, 2};
    return PassJournal::begin(journalFolder, folder, *id, plan, m_journal, true, tool);
}

FsStatus FakeFileSystem::readFolder(const std::string& folder, std::vector<RawEntry>& out) {
    out.clear();
    const auto it = folders.find(folder);
    if (it == folders.end())
        return FsStatus{FsError::NotFound, 2};
    for (const auto& [name, f] : it->second)
        out.push_back(RawEntry{name, f.kind});
    return {};
}

bool FakeFileSystem::isWritable(const std::string& folder, const std::string& name) {
    const auto it = folders.find(folder);
    return it != folders.end() && it->second.count(name) && it->second.at(name).writable;
}

FsStatus FakeFileSystem::rename(const std::string& folder, const std::string& oldName,
                                const std::string& newName) {
    ++renameCalls;
    if (beforeRename)
        beforeRename(renameCalls);
    if (renameCalls == failRenameNumber)
        return FsStatus{failWith, 5};
    if (oldName != newName)
        if (FsStatus marked = m_journal.started(oldName, newName); !marked.ok())
            return marked;
    const auto it = folders.find(folder);
    if (it == folders.end() || !it->second.count(oldName))
        return FsStatus{FsError::NotFound, 2};
    if (oldName == newName)
        return {};
    if (it->second.count(newName))
        return FsStatus{FsError::Exists, 17};
    it->second[newName] = it->second[oldName];
    it->second.erase(oldName);
    renames.emplace_back(oldName, newName);
    return {};
}

bool FakeFileSystem::regularFileExists(const std::string& folder, const std::string& name) {
    const auto it = folders.find(folder);
    if (it == folders.end())
        return false;
    const auto f = it->second.find(name);
    return f != it->second.end() && f->second.kind == EntryKind::Regular;
}

} // namespace nw::test
