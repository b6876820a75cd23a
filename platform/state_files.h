#pragma once
// Files in the user's state folder (journals, the history): the folder made
// as the user's own and checked to be, whole writes and reads.
#include "platform/file_system.h"

#include <string>

namespace nw {

// Writes or reads every byte, through interruptions; false on an error
// (errno says which).
bool writeAll(int fd, const std::string& bytes);
bool readAll(int fd, std::string& out);

// The state folder must be the user's own: a folder (not a link), owned by
// this user, that nobody else may write, so that nobody else can put a file
// there for this program to act on.
FsStatus checkOwnFolder(const std::string& path);
// Makes the folder and those above it (mode 0700) where missing, then checks
// it as checkOwnFolder does.
FsStatus makeFolders(const std::string& path);
// Flushes a folder's entries to disk.
void syncFolder(const std::string& folder);

} // namespace nw
