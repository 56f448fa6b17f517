// Stages 1, 3 and 4 of the import: the fingerprints of the stored records,
// the header check of the exchange file, and the fingerprints of the
// incoming records. Of every record only its fingerprints (and, for an
// incoming record, its place in the file) are kept.
#include <string>

#include "core/record_codec.h"
#include "exchange/exchange_format.h"
#include "exchange/import_stages.h"

namespace zenfaro {
namespace {

struct Fingerprinter : RecordVisitor {
  Fingerprints* fingerprints;
  void entry(ListKind kind, std::string_view text) { fingerprints->feed(kind, text); }
};

// Fingerprints an incoming record and refuses a list beyond the capacity.
struct IncomingReader : Fingerprinter {
  std::int64_t too_long = 0;  // the first list count beyond the capacity
  void count(ListKind, std::int64_t count) {
    if (count > kMaxIncomingListEntries && too_long == 0) {
      too_long = count;
      keep = 0;
    }
  }
};

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
  run.stored.assign(static_cast<std::size_t>(db.record_count), Fingerprints{});
  run.summary.stored = db.record_count;
  return walk_records(db, 1, db.record_count, [&](std::int32_t n, LineReader& in) {
    tell_record_progress(run.progress, ExchangeStage::reading, static_cast<std::uint64_t>(n - 1), run.stored.size());
    Fingerprinter fingerprinter;
    fingerprinter.fingerprints = &run.stored[static_cast<std::size_t>(n - 1)];
    read_record_with(in, fingerprinter);
    return true;
  });
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
    return Status::refused("The exchange file announces " + number(announced) +
                           " records; an import can take at most " + number(kMaxIncomingRecords) +
                           ". Nothing was imported.");
  }
  run.incoming.assign(static_cast<std::size_t>(std::max(announced, 0)), IncomingRecord{});
  run.summary.found = std::max(announced, 0);
  for (std::size_t i = 0; i < run.incoming.size(); ++i) {
    tell_record_progress(run.progress, ExchangeStage::reading, i, run.incoming.size());
    IncomingRecord& record = run.incoming[i];
    if (in.at_end() && run.summary.found == announced) run.summary.found = static_cast<std::int32_t>(i);
    record.start = in.position();
    IncomingReader reader;
    reader.fingerprints = &record.fingerprints;
    read_record_with(in, reader);
    if (reader.too_long > 0) {
      return Status::refused("Record " + number(static_cast<std::int64_t>(i) + 1) +
                             " of the exchange file has a list of " + number(reader.too_long) +
                             " entries; an imported list can hold at most " + number(kMaxIncomingListEntries) +
                             ". Nothing was imported.");
    }
    record.size = in.position() - record.start;
  }
  return in.status();
}

}  // namespace zenfaro
