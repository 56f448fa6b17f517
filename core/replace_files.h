#pragma once
// Puts a new pair of database files (commdb.dat and commdb.idx) in the
// place of the old one so that, whatever fails and whenever the program is
// killed, the pair is afterwards either the old one or the new one, and so
// that a reader never finds either file missing.
//
// The new files are written completely and made durable first (by the
// caller, who holds the database's lock). The old data file is then kept
// under its backup name as a second name of the same file (a hard link, or
// a copy where the file system has none), and the journal "zenfaro.jrn"
// beside the pair records what is to be done and what every file it names
// is like (core/journal.h); it is written under another name and renamed
// into place, so a journal is always whole, and once it is there the
// replacement is decided. Then the new files are renamed over the old
// names, back to back. A failing rename is undone from the backup and the
// journal removed: the old pair stays. When even that fails, the journal
// stays, and the next change (or the next opening) finishes the work.
//
// A journal is acted on only while the files it names are as it wrote them
// down; otherwise everything is left as it is and the journal is named.
#include <filesystem>

#include "core/journal.h"
#include "core/layout.h"

namespace zenfaro {

// One replacement of the pair in `folder`. The kinds differ in their files:
//   save      new files temp.tmp, temp.idx          backup commdb.old, kept
//   import    new files tempfile2.tmp, tempfile2.idx backup importold.dat, removed once done
//   transfer  new files commdb.dat.zenfaro-new and commdb.idx.zenfaro-new beside the game's files,
//             backup commdb.dat.zenfaro-old, removed once done
//   restore   new files temp.tmp, temp.idx          backup restoreold.dat, renamed to commdb.old once done
//             (commdb.old, the state being restored, stays untouched until the new pair stands)
struct Replacement {
  ReplacementKind kind = ReplacementKind::save;
  std::filesystem::path folder;       // of the pair, the backup and the journal
  std::filesystem::path work_folder;  // of the new files: `folder`, or the working folder of the host layout
};

Replacement save_replacement(const Layout& layout);
Replacement import_replacement(const Layout& layout);
Replacement restore_replacement(const Layout& layout);
// Into the game's data folder.
Replacement transfer_replacement(const std::filesystem::path& game_data);

// Target 0 is commdb.dat, target 1 commdb.idx.
std::filesystem::path target_file(const Replacement& replacement, int target);
std::filesystem::path backup_file(const Replacement& replacement);
// Where the caller writes the new file of `target`: the kind's work file,
// or, when the target is a symbolic link, "NAME.zenfaro-new" beside the
// file that the link names, so that the rename stays inside one file
// system and the link stays a link.
std::filesystem::path new_file(Env& env, const Replacement& replacement, int target);

// The journal of the pair in `folder`, and of a layout's database.
std::filesystem::path journal_file(const std::filesystem::path& folder);
std::filesystem::path journal_file(const Layout& layout);

// Makes the replacement, all or nothing (see above). The new files are
// whole and durable. The caller holds the database's lock.
Status replace_files(Env& env, const Replacement& replacement);

// Finishes a replacement of the pair in `folder` that a journal shows was
// decided but not done, or undoes one that failed part-way (nothing to do
// gives ok). A journal whose new file was changed after it was written is
// given up instead: what was moved is put back, and the message says so.
// A journal that is not one of this program's, or whose files are no longer
// as it wrote them down, is left alone with everything it names, and
// refused with a message that names it. The caller holds the lock.
Status finish_interrupted_replacement(Env& env, const std::filesystem::path& folder);
// The same for a layout's database.
Status finish_interrupted_replacement(Env& env, const Layout& layout);

// Removes what a replacement of this kind can leave behind when it is
// killed before its journal is in place, or fails and cannot clean up: its
// new files (not those beside a linked target, which the next replacement
// removes before it writes them), a journal cut short while it was written,
// and a backup that only the replacement needed. Nothing while a journal is
// there.
void remove_leftovers(Env& env, const Replacement& replacement);

// Removes what a killed save or import can leave behind and no journal
// needs (temp.tmp, temp.idx, the import's backups, a journal cut short
// while it was written). The caller holds the lock and has finished any
// interrupted replacement.
void remove_leftover_work_files(Env& env, const Layout& layout);

}  // namespace zenfaro
