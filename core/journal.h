#pragma once
// The journal "zenfaro.jrn" of a replacement of a pair of database files
// (see core/replace_files.h). It lives beside the pair it replaces, takes
// only the shapes the program writes, and writes down what the files it
// names were like when it was written, so that a recovery can tell whether
// they still are:
//
//   zenfaro journal 3
//   save                                 the kind: save, import, transfer or restore
//   data TAB here TAB 5812 TAB 3f0c...e1 TAB 2049:131077:5790 TAB 2049:131077:5790
//   index TAB here TAB 40 TAB 91aa...07 TAB 2049:131080:40
//   end
//
// Each line is one target, the data file first: where its new file is, the
// new file's size and checksum (core/file_digest.h), the identity and size
// of the file it replaces (device:file:size, or "none" when there was no
// file), and for the data file the identity and size of the backup kept of
// it. A replacement that failed part-way is undone under a journal of the
// other shape,
//
//   zenfaro journal 3
//   undo save
//   data TAB 2049:131090:5812 TAB 2049:131077:5790
//   end
//
// which names what stands as the data file and the backup to put back.
// Anything else (another version, a path, a field too many, a journal of
// more than kMaxJournalBytes) is no journal of this program.
#include <cstdint>
#include <string>
#include <vector>

#include "core/env.h"
#include "core/file_digest.h"

namespace zenfaro {

// What the program replaces, and with which files (core/replace_files.h).
enum class ReplacementKind { save, import, transfer, restore };

// Where a new file was written: in the journal's own folder; in the working
// folder of the host layout, of which the journal's folder is the database
// folder; or beside the file that a target which is a symbolic link names.
enum class NewFilePlace { here, host, beside_link };

// Which file stood at a name: its identity and size, or no file.
struct FileIdentity {
  bool present = false;
  std::uint64_t device = 0;
  std::uint64_t file_id = 0;
  std::uint64_t size = 0;
  friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
    return a.present == b.present && a.device == b.device && a.file_id == b.file_id && a.size == b.size;
  }
  friend bool operator!=(const FileIdentity& a, const FileIdentity& b) { return !(a == b); }
};
FileIdentity identity_of(const FileInfo& info);

struct JournalLine {
  NewFilePlace place = NewFilePlace::here;  // (not in an undo journal)
  FileDigest digest;                        // the new file (not in an undo journal)
  FileIdentity replaced;                    // the file at the target; in an undo journal the new one standing there
  FileIdentity backup;                      // data file only: the backup kept of it
};

struct Journal {
  ReplacementKind kind = ReplacementKind::save;
  bool undo = false;
  // The data file's line, then (except in an undo journal) the index's.
  std::vector<JournalLine> lines;
};

// A journal larger than this is refused by its size, unread.
constexpr std::uint64_t kMaxJournalBytes = 4096;

std::string journal_text(const Journal& journal);
// False when `text` is not a journal of this program's shapes.
bool parse_journal(const std::string& text, Journal* journal);

}  // namespace zenfaro
