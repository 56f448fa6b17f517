// Stages 2, 5 and 6 of the import: hashes.txt, hashes2.txt, and the
// classification of the incoming records with its report impres.txt.
#include <unordered_map>

#include "core/line_writer.h"
#include "exchange/import_reports.h"
#include "exchange/import_stages.h"

namespace zenfaro {
namespace {

// Writes a report file line by line; `line(i)` gives line i of `lines`.
template <typename LineOf>
Status write_report(Env& env, const std::filesystem::path& path, std::size_t lines, LineOf line) {
  std::unique_ptr<LineWriter> out;
  Status status = LineWriter::create(env, path, &out);
  if (!status.is_ok()) return status;
  for (std::size_t i = 0; i < lines; ++i) out->write_line(line(i));
  return out->close();
}

}  // namespace

Status write_stored_hashes(ImportRun& run) {
  return write_report(*run.db.env, run.files.stored_hashes, run.stored.size(),
                      [&](std::size_t i) { return fingerprint_text(run.stored[i].full); });
}

Status write_incoming_hashes(ImportRun& run) {
  return write_report(*run.db.env, run.files.incoming_hashes, run.incoming.size(),
                      [&](std::size_t i) { return fingerprint_text(run.incoming[i].fingerprints.full); });
}

Status classify_incoming(ImportRun& run) {
  tell_progress(run.progress, ExchangeStage::classifying, 0, 0);
  // The first stored record with each trigger fingerprint: the record a
  // search of records 1 to N in ascending order would find.
  std::unordered_map<std::uint32_t, std::int32_t> first_by_trigger;
  first_by_trigger.reserve(run.stored.size());
  for (std::size_t k = 0; k < run.stored.size(); ++k) {
    first_by_trigger.emplace(run.stored[k].trigger, static_cast<std::int32_t>(k + 1));
  }

  ImportSummary& summary = run.summary;
  for (IncomingRecord& record : run.incoming) {
    const auto found = first_by_trigger.find(record.fingerprints.trigger);
    if (found == first_by_trigger.end()) {
      record.status = kStatusNew;
      ++summary.new_records;
    } else if (run.stored[static_cast<std::size_t>(found->second - 1)].full == record.fingerprints.full) {
      record.status = kStatusIdentical;
      ++summary.identical;
    } else {
      record.status = found->second;
      ++summary.extending;
    }
  }
  summary.merged = summary.stored + summary.new_records;

  const Status status = write_report(*run.db.env, run.files.classes, run.incoming.size(), [&](std::size_t i) {
    const std::int32_t status = run.incoming[i].status;
    const auto number = static_cast<std::int64_t>(i + 1);
    if (status == kStatusNew) return new_record_line(number);
    if (status == kStatusIdentical) {
      // The identical record is the first stored one with its triggers.
      return identical_record_line(number, first_by_trigger.at(run.incoming[i].fingerprints.trigger));
    }
    return extending_record_line(number, status);
  });
  if (!status.is_ok()) return status;

  // Checked here, before the merge writes anything: the new records follow
  // the stored ones, and the record index holds kMaxRecords.
  if (summary.merged > kMaxRecords) {
    return Status::refused("The import would make a database of " + std::to_string(summary.merged) +
                           " records; the database can hold at most " + std::to_string(kMaxRecords) +
                           ". Nothing was imported.");
  }
  return Status::ok();
}

}  // namespace zenfaro
