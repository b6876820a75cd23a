#pragma once
// What a real folder holds: every entry's name with its content (a folder's
// content is "<folder>"), to check that a pass lost and replaced nothing.
#include <map>
#include <string>

namespace nw::test {

using Snapshot = std::map<std::string, std::string>;

Snapshot snapshot(const std::string& folder);
// The same of the folder and every folder below it, each entry by its path
// ("a/b/name"). A link is not followed (it is "<special>" unless a file).
Snapshot snapshotTree(const std::string& folder);

// before, with the entries renamed as given (old name -> new name).
Snapshot renamed(Snapshot before, const std::map<std::string, std::string>& renames);

void writeFile(const std::string& folder, const std::string& name, const std::string& content);

// A fresh folder under the system's temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace nw::test
