#pragma once
// Puts new database files in the place of the old ones so that, whatever
// fails and whenever the program is killed, the database is afterwards
// either the old pair of files or the new pair, never a mixture or nothing.
//
// The new files are written completely and made durable first (by the
// caller). Then a journal, "zenfaro.jrn" in the working folder, records the
// moves to make; once it is on disk the replacement is decided. The moves
// are renames that replace their target. A failing move is undone with the
// moves made before it, and the journal is removed: the old database stays.
// When even the undo fails, the journal stays, and the next opening of the
// database (open_database) finishes the moves. A journal that was cut short
// while it was written was never acted upon and is simply removed.
#include <cstdint>
#include <vector>

#include "core/env.h"
#include "core/layout.h"

namespace zenfaro {

struct FileMove {
  fs::path from;    // a complete new file
  fs::path to;      // the file it replaces
  fs::path backup;  // when not empty, the file `to` is first renamed to
};
// Undoing a move puts the old file back from its backup; a move without a
// backup replaces its target for good. So every move but the last must name
// a backup (the caller deletes it afterwards if it wants none).

// The journal's name in the working folder.
fs::path journal_file(const Layout& layout);

// Makes the moves, all or none (see above). Every path must lie in
// `layout.root` or below it, and every move but the last has a backup.
Status replace_files(Env& env, const Layout& layout, const std::vector<FileMove>& moves);

// Finishes a replacement that a journal shows was decided but not done.
// Nothing to do gives ok.
Status finish_interrupted_replacement(Env& env, const Layout& layout);

}  // namespace zenfaro
