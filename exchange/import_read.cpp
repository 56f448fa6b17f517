// Stages 1, 3 and 4 of the import: the fingerprints of the stored records,
// the header check of the exchange file, and the fingerprints of the
// incoming records. Of every record only its fingerprints (and, for an
// incoming record, its start) are kept.
#include <string>

#include "core/line_reader.h"
#include "exchange/exchange_format.h"
#include "exchange/import_run.h"
#include "exchange/record_stream.h"

namespace zenfaro {
namespace {

// Reads the entries of one list and feeds them to `fingerprints`.
void fingerprint_list(LineReader& in, std::int64_t count, ListKind kind, Fingerprints& fingerprints,
                      std::string& entry) {
  for (std::int64_t i = 0; i < count; ++i) {
    in.read_entry(&entry);
    fingerprints.feed(kind, entry);
  }
}

std::string number(std::int64_t value) { return std::to_string(value); }

}  // namespace

Status fingerprint_stored(ImportRun& run) {
  const Database& db = run.db;
  // The import rebuilds the database from the records the index reaches;
  // an index listing more than it can hold would lose the rest.
  if (db.index_fields > kMaxRecords) {
    return Status::refused("The database index lists " + number(db.index_fields) + " records, more than the " +
                           number(kMaxRecords) + " it can hold; an import would lose the rest. Nothing was imported.");
  }
  std::unique_ptr<ReadableFile> data;
  Status status = open_data_file(db, &data);
  if (!status.is_ok()) return status;
  LineReader in(data.get());
  std::string entry;
  run.stored.assign(static_cast<std::size_t>(db.record_count), Fingerprints{});
  for (std::int32_t n = 1; n <= db.record_count; ++n) {
    in.seek(record_start(db, n, data.get()));
    Fingerprints& fingerprints = run.stored[static_cast<std::size_t>(n - 1)];
    for (const ListKind kind : kAllLists) fingerprint_list(in, in.read_list_count(), kind, fingerprints, entry);
  }
  run.summary.stored = db.record_count;
  return in.status();
}

Status open_exchange(ImportRun& run, bool* accepted) {
  *accepted = false;
  Status status = run.db.env->open_readable(run.exchange_path, &run.exchange);
  // A file that is not there reads as empty, and an empty file is not an
  // exchange file.
  if (status.is_not_found()) return Status::ok();
  if (!status.is_ok()) return status;
  run.exchange_in = std::make_unique<LineReader>(run.exchange.get());
  *accepted = read_exchange_header(*run.exchange_in);
  return run.exchange_in->status();
}

Status read_incoming(ImportRun& run) {
  LineReader& in = *run.exchange_in;  // just after "[Exported Commentary]"
  const std::int32_t announced = in.read_count();
  run.summary.announced = announced;
  if (announced > kMaxIncomingRecords) {
    return Status::refused("The exchange file announces " + number(announced) + " records; an import can take at most " +
                           number(kMaxIncomingRecords) + ". Nothing was imported.");
  }
  std::string entry;
  run.incoming.assign(static_cast<std::size_t>(std::max(announced, 0)), IncomingRecord{});
  run.summary.found = std::max(announced, 0);
  for (std::size_t i = 0; i < run.incoming.size(); ++i) {
    IncomingRecord& record = run.incoming[i];
    if (in.at_end() && run.summary.found == announced) run.summary.found = static_cast<std::int32_t>(i);
    record.start = in.position();
    for (const ListKind kind : kAllLists) {
      const std::int32_t count = in.read_count();
      if (count > kMaxIncomingListEntries) {
        return Status::refused("Record " + number(i + 1) + " of the exchange file has a list of " + number(count) +
                               " entries; an imported list can hold at most " + number(kMaxIncomingListEntries) +
                               ". Nothing was imported.");
      }
      fingerprint_list(in, count, kind, record.fingerprints, entry);
    }
    record.size = in.position() - record.start;
  }
  return in.status();
}

}  // namespace zenfaro
