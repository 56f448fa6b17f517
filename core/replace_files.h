#pragma once
// Puts new database files in the place of the old ones so that, whatever
// fails and whenever the program is killed, the database is afterwards
// either the old pair of files or the new pair, and so that a reader never
// finds a database file missing.
//
// The new files are written completely and made durable first (by the
// caller, who holds the database's lock). Then the journal "zenfaro.jrn" in
// the working folder records the moves to make (core/journal.h); it is
// written under another name and renamed into place, so a journal is always
// whole, and once it is there the replacement is decided. Each move keeps
// the old file under its backup name as a second name of the same file (a
// hard link, or a copy where the file system has none) and then renames the
// new file over the old name in one step; the renames follow each other
// directly. A failing move is undone, with the moves made before it, from
// the backups, and the journal is removed: the old database stays. When
// even the undo fails, the journal stays, and the next change of the
// database (or the next opening) finishes the moves.
#include <vector>

#include "core/journal.h"

namespace zenfaro {

// The journal's name in the working folder.
std::filesystem::path journal_file(const Layout& layout);

// Makes the moves, all or none (see above). Every move but the last must
// have a backup, so that it can be undone. The caller holds the lock.
Status replace_files(Env& env, const Layout& layout, const std::vector<FileMove>& moves);

// Finishes a replacement that a journal shows was decided but not done
// (nothing to do gives ok). A journal whose new files were changed after it
// was written is undone instead: the database is put back as it was before,
// and the message says so. A "zenfaro.jrn" that is not a journal of this
// program is left alone and refused, naming the file and what to do. The
// caller holds the lock.
Status finish_interrupted_replacement(Env& env, const Layout& layout);

// Removes what a killed save or import can leave behind and no journal
// needs (temp.tmp, temp.idx, the import's backups, a journal cut short
// while it was written). The caller holds the lock and has finished any
// interrupted replacement.
void remove_leftover_work_files(Env& env, const Layout& layout);

}  // namespace zenfaro
