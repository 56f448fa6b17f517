#pragma once
// The journal "zenfaro.jrn" of a replacement of the database files (see
// core/replace_files.h): the moves to make, one line each, between a header
// and an end line:
//
//   zenfaro replacement journal 2
//   move TAB temp.tmp TAB commdb.dat TAB commdb.old TAB 1234 TAB keep
//   move TAB temp.idx TAB commdb.idx TAB TAB 48 TAB keep
//   end
//
// A replacement that failed part-way is undone by the same means: its
// journal is replaced by one of "undo" lines (undo TAB commdb.dat TAB
// commdb.old: the backup goes back to its name), so that an undo cut short
// is finished as an undo.
//
// Paths are relative to the working folder, with "/" between folders. A
// journal may name only the program's own files of its own folders: a new
// file is a work file of the working folder ("temp.tmp", "temp.idx",
// "tempfile2.tmp", "tempfile2.idx"), a target is commdb.dat or commdb.idx,
// a backup is commdb.old, "importold.dat" or "importold.idx" (in the
// database folder). Anything else, an absolute path or a ".." included,
// makes the text no journal at all, so nothing outside is ever moved.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/layout.h"

namespace zenfaro {

struct FileMove {
  std::filesystem::path from;    // a complete new file
  std::filesystem::path to;      // the file it replaces
  std::filesystem::path backup;  // when not empty, the old `to` is kept under this name
  bool keep_backup = true;       // false: the backup goes once every move is made
};

struct JournalMove {
  bool undo = false;  // put `move.backup` back as `move.to`; `from` is empty
  FileMove move;
  std::uint64_t size = 0;  // the size of the new file when the journal was written
};

std::string journal_text(const Layout& layout, const std::vector<JournalMove>& moves);

// Reads a journal; false when `text` is not a well-formed journal of the
// program's own files.
bool parse_journal(const Layout& layout, const std::string& text, std::vector<JournalMove>* moves);

}  // namespace zenfaro
