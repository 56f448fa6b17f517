#pragma once
// The commentary database on disk: commdb.dat holds the records as text
// (per list a count line and then its entry lines), commdb.idx one 4-byte
// little-endian start offset per record. The Database value is the record
// index loaded from commdb.idx together with the paths it was loaded from
// and what the two files were like at that moment.
//
// The game and other programs (a second editor, zenfaro-cli in a script) use
// the same files. Every operation that reads stored records reads them from
// one state of the pair, under the database's lock (core/database_state.h),
// and a program that loaded the index can ask whether the files changed since
// (database_changed).
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "core/env.h"
#include "core/layout.h"
#include "core/record.h"

namespace zenfaro {

class LineReader;

struct Database {
  Env* env = &default_env();
  Layout layout;
  // The paths of the last load_index; reading and saving use these.
  std::filesystem::path index_path;
  std::filesystem::path data_path;
  // N: records 1 to N can be read; N+1 is where a new record is shown.
  std::int32_t record_count = 0;
  // Slots 0 to kMaxRecords; slot k holds the start of record k in the data
  // file. Slot 0 is never filled.
  std::vector<std::int32_t> index = std::vector<std::int32_t>(kMaxRecords + 1, 0);
  // The number of fields in the index file, which exceeds record_count when
  // the file lists more records than the index can hold.
  std::int64_t index_fields = 0;
  // The two files as they were when the index was loaded.
  FileInfo data_seen;
  FileInfo index_seen;
  // Why the last load could not read the database, naming the file and the
  // system's reason; ok when it could. The record count is then 0, and no
  // change may be written until a load succeeds: an unreadable database is
  // not an empty one.
  Status load_error;
};

// Loads commdb.idx into `db`'s record index and returns the record count.
// Remembers both paths. A length that is not a multiple of 4 is rounded to
// the nearest number of fields (halves to even), a last field cut short
// having zero high bytes. Only the first kMaxRecords fields are used.
//
// Only a missing pair is an empty database. A data file without an index
// (none, or an empty one) gives the records found by walking it, as the next
// save writes them into a new index. An index or data file that is there but
// cannot be opened or read, and a missing data file beside an index that
// lists records, set `db.load_error` and give 0.
std::int32_t load_index(Database& db, const std::filesystem::path& index_path, const std::filesystem::path& data_path);

// Opens the database of `layout`: finishes a replacement of the database
// files that was interrupted (see core/replace_files.h), then loads the
// index. An error means the interrupted replacement could not be finished
// (the database is loaded as it stands all the same), or else that the
// database cannot be read (load_error), or that a database file is something
// other than a regular file (a FIFO, a folder).
Status open_database(Env& env, const Layout& layout, Database* db);

// True when commdb.dat or commdb.idx is no longer the file, or no longer in
// the state, that the last load_index saw: another program changed them.
bool database_changed(const Database& db);

// Reads record n in file order. Numbers outside 1 to N give three empty
// lists without touching a file, as does a data file that cannot be opened;
// a record cut short by the end of the data gets empty entries for its
// missing lines. A read error, or a list longer than a list can hold (the
// record is then damaged and reads as empty), is stored in `*error` when
// given.
Record read_record(const Database& db, std::int32_t n, Status* error = nullptr);

// Why record n cannot be read: one of its lists holds more entries than a
// list can hold (refused).
Status damaged_record(std::int32_t n);

// Hands the stored bytes of record n (1 to N) to `sink` exactly as they
// stand in the data file, in pieces: from the record's start to the end of
// the lines that the reading rules take for its three lists. A damaged
// record (a list longer than a list can hold) is refused as read_record
// reports it; a read error is returned.
Status read_stored_bytes(const Database& db, std::int32_t n, const std::function<void(std::string_view)>& sink);

// Opens the data file of `db` for reading. A missing file leaves `*file`
// null and reads as empty; any other failure is returned.
Status open_data_file(const Database& db, std::unique_ptr<ReadableFile>* file);

// Where record n (1 to N) starts in a data file of `data_size` bytes. A
// negative index slot lies before the file and reads as the end of the data.
std::uint64_t record_start(const Database& db, std::int32_t n, std::uint64_t data_size);

// Reads the stored records `first` to `last` in order, through one reader
// of the data file: `visit(n, in)` finds `in` at the start of record n and
// returns false to stop. Returns the first read error, or ok. A walk reads
// each byte at most once: an index whose record starts repeat, go back, or
// fall inside the record before is damaged, and the walk stops there,
// refused with a message that names the record and its start.
Status walk_records(const Database& db, std::int32_t first, std::int32_t last,
                    const std::function<bool(std::int32_t, LineReader&)>& visit);

}  // namespace zenfaro
