#pragma once
// The state of one import as it passes through its stages, and the stages
// themselves. Each stage returns ok, or the reason the import must stop
// (refused: a capacity would be passed; io_error: a file failed). Nothing
// of the database changes before the replacement, so stopping at any stage
// before it leaves the database as it was.
//
//   1  fingerprint every stored record            fingerprint_stored   import_read.cpp
//   2  hashes.txt                                  write_stored_hashes  import_classify.cpp
//   3  open the exchange file, check its header   open_exchange        import_read.cpp
//   4  read and fingerprint every incoming record read_incoming        import_read.cpp
//   5  hashes2.txt                                 write_incoming_hashes import_classify.cpp
//   6  classify, impres.txt                       classify_incoming    import_classify.cpp
//   7  merge into tempfile.tmp                    merge_records        import_merge.cpp
//   8  rebuild tempfile2.tmp and tempfile2.idx    rebuild_database     import_rebuild.cpp
//   9  confirmation                                                    import_commentary.cpp
//  10  zenfaro.log                                append_import_log    import_log.cpp
//  11  replacement of the database files                               import_commentary.cpp
//  12  reload                                                          import_commentary.cpp
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/database.h"
#include "core/line_reader.h"
#include "exchange/exchange_progress.h"
#include "exchange/fingerprint.h"
#include "exchange/import_summary.h"

namespace zenfaro {

// Import status of an incoming record: new, identical (or already merged),
// or the number (1 to N) of the stored record it extends.
constexpr std::int32_t kStatusNew = -1;
constexpr std::int32_t kStatusIdentical = 0;

struct IncomingRecord {
  std::uint64_t start = 0;  // position of its first count line in the exchange file
  std::uint64_t size = 0;   // bytes of its block, up to the next record's start
  Fingerprints fingerprints;
  std::int32_t status = kStatusNew;
};

// The report, work and log files, all in the working folder (the new
// database files beside the files that linked ones name), and the backup of
// the old data file while the new one is moved into place (in the database
// folder).
struct ImportFiles {
  std::filesystem::path stored_hashes;    // hashes.txt
  std::filesystem::path incoming_hashes;  // hashes2.txt
  std::filesystem::path classes;          // impres.txt
  std::filesystem::path merge;            // tempfile.tmp
  std::filesystem::path new_data;         // tempfile2.tmp
  std::filesystem::path new_index;        // tempfile2.idx
  std::filesystem::path log;              // zenfaro.log
  std::filesystem::path old_data;         // importold.dat
};
ImportFiles import_files(Env& env, const Layout& layout);

struct ImportRun {
  ImportRun(Database& database, std::string utf8_path);

  Database& db;
  std::string path;                     // as the user chose it (UTF-8)
  std::filesystem::path exchange_path;  // the same, as a path
  ImportFiles files;
  std::vector<Fingerprints> stored;  // row k-1 for stored record k
  std::vector<IncomingRecord> incoming;
  // For each stored record that incoming records extend: its number and
  // how many commentary lines it brings itself (the rebuild counts what the
  // extension adds beyond them).
  std::vector<std::pair<std::int32_t, std::int64_t>> extended_own_lines;
  // Open from the header check to the end of the merge; `exchange_in`
  // reads it sequentially through the header and the incoming records.
  std::unique_ptr<ReadableFile> exchange;
  std::unique_ptr<LineReader> exchange_in;
  ImportSummary summary;
  // True once this run has written tempfile2.tmp and tempfile2.idx: only
  // then may it remove them.
  bool wrote_new_files = false;
  // The date of the log block (the local date of today unless a test pins it).
  std::function<std::tm()> today;
  // Told the stages as they run (see exchange_progress.h); nothing by default.
  ExchangeProgress progress;
};

Status fingerprint_stored(ImportRun& run);
Status write_stored_hashes(ImportRun& run);
// `*accepted` is false when the header fails the check.
Status open_exchange(ImportRun& run, bool* accepted);
Status read_incoming(ImportRun& run);
Status write_incoming_hashes(ImportRun& run);
Status classify_incoming(ImportRun& run);
Status merge_records(ImportRun& run);
Status rebuild_database(ImportRun& run);
Status append_import_log(ImportRun& run);

}  // namespace zenfaro
