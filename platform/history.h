#pragma once
// The history of passes, kept on disk so that a pass can be undone after the
// program was closed or cut off: one record per pass in the history folder
// beside the journals (the user's own state folder), the last 50 passes of
// the last 30 days. A record is written whole under a temporary name and
// then given its own, so two windows never meet half a record; a damaged
// record is reported and never acted on.
#include "platform/file_system.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nw {

struct HistoryRename {
    std::string oldName, newName; // as bytes
    std::optional<FileId> id;     // which file it was, where the drive keeps numbers
    std::optional<FileStamp> stamp;
    std::string sub; // the folder it is in below the record's ("a/b"), in a pass over a tree
};

struct HistoryRecord {
    std::string name;                   // the record's file in the history folder
    std::int64_t time = 0;              // when the pass ended, seconds since the epoch
    std::string folder;                 // as bytes
    FileId folderId;                    // which folder it was
    std::string tool;                   // the tool and its settings, in words
    bool undo = false;                  // the pass undid another
    std::size_t count = 0;              // how many renames it holds
    std::vector<HistoryRename> renames; // in the order they were made (where read)
};

// The history's folder: "history" in the journals' folder; empty without one.
std::string historyFolder();

// How many records are kept, and for how long.
inline constexpr std::size_t kHistoryPasses = 50;
inline constexpr std::int64_t kHistorySeconds = 30 * 24 * 3600;

// The record's bytes and back (none for bytes that are not a whole record).
std::string historyBytes(const HistoryRecord& r);
std::optional<HistoryRecord> readHistoryRecord(const std::string& bytes);

// Writes a record (a new one where r.name is empty: its name is set), then
// removes the records past the last 50 or older than 30 days.
FsStatus saveHistoryRecord(const std::string& folder, HistoryRecord& r, std::int64_t now);
// Removes a record (every rename of its pass undone).
void removeHistoryRecord(const std::string& folder, const std::string& name);
// Keeps only these renames in a record (the ones undo has yet to put back);
// none left removes it.
FsStatus keepHistoryRenames(const std::string& folder, const std::string& name,
                            std::vector<HistoryRename> renames);

// The records' headers (no renames read: the list of passes stays quick
// however many files they renamed).
struct HistoryReading {
    std::vector<HistoryRecord> records; // newest first
    std::vector<std::string> damaged;   // records that could not be read
};
HistoryReading readHistory(const std::string& folder);
// Moves damaged records out of the history (kept beside it, ".kept"), so
// that they are reported once and can be looked at.
void setAsideHistoryRecords(const std::vector<std::string>& paths);
// One record whole; none where it is gone or damaged.
std::optional<HistoryRecord> readHistoryFile(const std::string& folder, const std::string& name);

// A record being undone: locked, so that another window never undoes the
// same pass at once. Released when it goes.
class HistoryHold {
public:
    HistoryHold() = default;
    HistoryHold(const HistoryHold&) = delete;
    HistoryHold& operator=(const HistoryHold&) = delete;
    ~HistoryHold();
    enum Outcome { Held, Busy, Gone };
    Outcome take(const std::string& folder, const std::string& name);

private:
    int m_fd = -1;
};

} // namespace nw
