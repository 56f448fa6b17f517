#pragma once
// The state of one import as it passes through its stages, and the stages
// themselves. Each stage returns ok, or the reason the import must stop
// (refused: a capacity would be passed; io_error: a file failed). Nothing
// of the database changes before the replacement, so stopping at any stage
// before it leaves the database as it was.
//
//   1  fingerprint every stored record            fingerprint_stored
//   2  hashes.txt                                  write_stored_hashes
//   3  open the exchange file, check its header   open_exchange
//   4  read and fingerprint every incoming record read_incoming
//   5  hashes2.txt                                 write_incoming_hashes
//   6  classify, impres.txt                       classify_incoming
//   7  merge into tempfile.tmp                    merge_records
//   8  rebuild tempfile2.tmp and tempfile2.idx    rebuild_database
//   9  confirmation                               (import_commentary.cpp)
//  10  zenfaro.log                                append_import_log
//  11  replacement of the database files          (import_commentary.cpp)
//  12  reload                                     (import_commentary.cpp)
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/database.h"
#include "core/line_reader.h"
#include "exchange/fingerprint.h"
#include "exchange/import_commentary.h"

namespace zenfaro {

// Capacities of the import.
constexpr std::int32_t kMaxIncomingRecords = 32000;
constexpr std::int32_t kMaxIncomingListEntries = 5000;
constexpr std::size_t kMaxDistinctListEntries = 32000;

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

// The report, work and log files, all in the working folder.
struct ImportFiles {
  fs::path stored_hashes;    // hashes.txt
  fs::path incoming_hashes;  // hashes2.txt
  fs::path classes;          // impres.txt
  fs::path merge;            // tempfile.tmp
  fs::path new_data;         // tempfile2.tmp
  fs::path new_index;        // tempfile2.idx
  fs::path log;              // zenfaro.log
  // The old database files while the new ones are moved into place, so
  // that a failed move can be undone; removed once both are in place.
  fs::path old_data;   // importold.dat
  fs::path old_index;  // importold.idx
};
ImportFiles import_files(const Layout& layout);

struct ImportRun {
  ImportRun(Database& database, std::string utf8_path);

  Database& db;
  std::string path;        // as the user chose it (UTF-8)
  fs::path exchange_path;  // the same, as a path
  ImportFiles files;
  std::vector<Fingerprints> stored;  // row k-1 for stored record k
  std::vector<IncomingRecord> incoming;
  // Open from the header check to the end of the merge; `exchange_in`
  // reads it sequentially through the header and the incoming records.
  std::unique_ptr<ReadableFile> exchange;
  std::unique_ptr<LineReader> exchange_in;
  ImportSummary summary;
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
