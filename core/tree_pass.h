#pragma once
// A pass over a whole tree: the list's entries are in several folders (see
// FileListSource::Sub), folder by folder, each folder after what it holds.
// The pass is the one walk of every button, made once for each run of entries
// of one folder in list order: each run holds its own folder, and where its
// drive needs one keeps its own journal, so that a pass cut off anywhere
// leaves every file and folder under its old or its new name. The tool is
// one for the whole tree (a running number runs through the list), and is
// told the entries' indices in the whole list.
#include "core/dry_run.h"

namespace nw {

// The tool for a part of a pass (one folder's run, one folder's undo): the
// part's entry i is entry begin + i of the whole, its progress counts on from
// doneBefore of total, and the guard, asked once for the whole, is not asked
// again. tool must outlive the result.
RenameTool toolForPart(const RenameTool& tool, int begin, int doneBefore, int total);

// Whether the list holds entries of folders below its own.
bool holdsTree(const FileListSource& list);

// The pass an apply button runs over a tree (over one folder, RunPlannedPass
// itself). Stops at the first run that stops; the result's records carry
// their folder below the list's (RenameRecord::sub), and its indices are the
// list's.
PassResult RunTreePass(FileListSource& list, FileSystem& fs, const RenameTool& tool,
                       const std::function<RenameTool(FileSystem&)>& planTool);

// The dry run of a tree (of one folder, DryRun itself): one tool and one
// in-memory copy of every folder the runs reach.
Preview DryRunTree(FileListSource& list, FileSystem& fs,
                   const std::function<RenameTool(FileSystem&)>& makeTool);

} // namespace nw
