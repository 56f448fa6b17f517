#include "core/check_database.h"

#include "core/index_file.h"
#include "core/line_reader.h"
#include "core/record_codec.h"

namespace zenfaro {

const char* finding_kind_name(FindingKind kind) {
  switch (kind) {
    case FindingKind::index: return "index";
    case FindingKind::damaged: return "damaged";
    case FindingKind::same_identity: return "same-identity";
    case FindingKind::duplicate_entry: return "duplicate-entry";
    case FindingKind::empty_record: return "empty-record";
    case FindingKind::blanks: return "blanks";
    case FindingKind::count: break;
  }
  return "";
}

std::optional<FindingKind> finding_kind_from_name(const std::string& name) {
  for (int k = 0; k < static_cast<int>(FindingKind::count); ++k) {
    if (name == finding_kind_name(static_cast<FindingKind>(k))) return static_cast<FindingKind>(k);
  }
  return std::nullopt;
}

namespace {

std::unique_ptr<ReadableFile> open_for_check(const Database& db, const std::filesystem::path& path, Status* error) {
  std::unique_ptr<ReadableFile> file;
  const Status status = db.env->open_readable(path, &file);
  if (!status.is_ok() && !status.is_not_found() && error != nullptr) *error = status;
  return file;
}

}  // namespace

DatabaseCheck check_database(const Database& db, Status* error, const CheckWalk& walk) {
  DatabaseCheck result;
  const std::unique_ptr<ReadableFile> index = open_for_check(db, db.index_path, error);
  IndexReader fields(index.get());
  result.index_fields = fields.fields();

  const std::unique_ptr<ReadableFile> data = open_for_check(db, db.data_path, error);
  LineReader reader(data.get());
  std::string mismatch;
  std::int64_t mismatch_record = 0;
  while (!reader.at_end()) {
    const std::uint64_t start = reader.position();
    const std::int64_t k = ++result.records_walked;
    if (mismatch.empty()) {
      const std::string starts = "record " + std::to_string(k) + " starts at byte " + std::to_string(start) +
                                 " of the data file, but the index ";
      if (k > result.index_fields) {
        mismatch = starts + "ends after " + std::to_string(result.index_fields) + " records";
      } else if (const std::int32_t field = fields.field(k); field < 0 || static_cast<std::uint64_t>(field) != start) {
        mismatch = starts + "gives " + std::to_string(field);
      }
      if (!mismatch.empty()) {
        mismatch_record = k;
        if (walk.found) walk.found({FindingKind::index, k, {}, {}, mismatch});
      }
    }
    if (walk.read) {
      walk.read(k, reader);
    } else {
      skip_record(reader);
    }
  }
  if (error != nullptr && !fields.status().is_ok()) *error = fields.status();
  if (error != nullptr && !reader.status().is_ok()) *error = reader.status();
  if (mismatch.empty() && result.records_walked < result.index_fields) {
    mismatch = "the index lists " + std::to_string(result.index_fields) + " records, but the data file holds " +
               std::to_string(result.records_walked);
    mismatch_record = result.records_walked + 1;
    if (walk.found) walk.found({FindingKind::index, mismatch_record, {}, {}, mismatch});
  }
  if (!mismatch.empty()) result.findings.push_back({FindingKind::index, mismatch_record, {}, {}, mismatch});
  return result;
}

}  // namespace zenfaro
