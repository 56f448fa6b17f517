#pragma once
// What a replacement of the database files and the finishing of an
// interrupted one share (see core/replace_files.h): where each file of a
// replacement is, the journal's writing and ending, and the undo of the
// data file's move. For replace_files.cpp and finish_replacement.cpp only.
#include <string>
#include <vector>

#include "core/file_digest.h"
#include "core/replace_files.h"

namespace zenfaro::replacing {

extern const char* const kCompletedLater;  // " The change will be completed the next time ..."
extern const char* const kLeftAsItWas;     // " The database was left as it was."
extern const std::string kInterrupted;     // "An interrupted change of the database could not be completed: "

// The name of the new file of `target` in the work folder.
const char* work_name(ReplacementKind kind, int target);
bool keeps_backup(ReplacementKind kind);
std::filesystem::path journal_draft(const std::filesystem::path& folder);
// The working folder of the host layout whose database folder is `folder`
// (plugins/zenfaro/data inside it), or an empty path.
std::filesystem::path host_root(std::filesystem::path folder);
// Where a journal line's new file is (empty when the place cannot be).
std::filesystem::path new_file_at(Env& env, const Replacement& r, int target, NewFilePlace place);
// How the journal names where the new file of `target` is.
NewFilePlace place_of(Env& env, const Replacement& r, int target);

Status foreign_journal(const std::filesystem::path& journal);
Status mismatched_journal(const std::filesystem::path& journal, const std::filesystem::path& file);

// Writes the journal whole under another name, then puts it in place in one
// step and makes that durable: from then on the journal decides.
Status write_journal(Env& env, const std::filesystem::path& folder, const Journal& journal);
// Removes the journal of a change that moved nothing, and makes that
// durable, so that the failed change is never made later.
Status drop_journal(Env& env, const std::filesystem::path& folder);
// Makes durable what happened in the folders of the new files other than
// the journal's own: the journal, made durable with its own folder, must
// never describe a state that a crash could take back.
Status sync_other_folders(Env& env, const Replacement& r, const std::vector<std::filesystem::path>& fresh);
// The moves are made: they are made durable before the journal that would
// redo them goes, and a backup that is not to be kept goes. A failure here
// costs no data: the journal stays and finds nothing left to do.
void complete(Env& env, const Replacement& r, const std::vector<std::filesystem::path>& fresh);
// Puts the backup back as the data file, makes that durable, and ends the
// undo journal.
Status put_back(Env& env, const Replacement& r);
// Puts the data file back as it was, under an undo journal that finishes
// the undo should it be cut short.
Status undo_data_move(Env& env, const Replacement& r, const std::vector<std::filesystem::path>& fresh);
// A regular file that holds exactly `digest`.
bool holds(Env& env, const std::filesystem::path& path, const FileDigest& digest);

}  // namespace zenfaro::replacing
