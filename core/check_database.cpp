#include "core/check_database.h"

#include <vector>

#include "core/line_reader.h"
#include "core/number_text.h"

namespace zenfaro {
namespace {

// Every field of the index file, without the capacity of the record index.
std::vector<std::int32_t> read_all_fields(Env& env, const fs::path& path, Status* error) {
  std::string bytes;
  const Status status = read_file_to_string(env, path, &bytes);
  if (!status.is_ok() && !status.is_not_found() && error != nullptr) *error = status;
  std::vector<std::int32_t> fields;
  for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
    fields.push_back(index_field(reinterpret_cast<const unsigned char*>(bytes.data() + at)));
  }
  if (bytes.size() % 4 != 0) fields.push_back(-1);  // a field cut short never matches
  return fields;
}

}  // namespace

IndexCheck check_database(const Database& db, Status* error) {
  IndexCheck result;
  const std::vector<std::int32_t> fields = read_all_fields(*db.env, db.index_path, error);
  result.index_fields = static_cast<std::int64_t>(fields.size());

  std::unique_ptr<ReadableFile> file;
  const Status opened = db.env->open_readable(db.data_path, &file);
  if (!opened.is_ok() && !opened.is_not_found() && error != nullptr) *error = opened;
  LineReader reader(file.get());
  while (!reader.at_end()) {
    const std::uint64_t start = reader.position();
    const std::int64_t k = ++result.records_walked;
    if (result.first_mismatch.empty()) {
      if (k > result.index_fields) {
        result.first_mismatch = "record " + std::to_string(k) + " starts at byte " + std::to_string(start) +
                                " of the data file, but the index ends after " +
                                std::to_string(result.index_fields) + " records";
      } else if (static_cast<std::uint64_t>(static_cast<std::uint32_t>(fields[k - 1])) != start ||
                 fields[k - 1] < 0) {
        result.first_mismatch = "record " + std::to_string(k) + " starts at byte " + std::to_string(start) +
                                " of the data file, but the index gives " + std::to_string(fields[k - 1]);
      }
    }
    for (int block = 0; block < 3; ++block) {
      const std::int64_t count = reader.read_list_count();
      for (std::int64_t i = 0; i < count; ++i) reader.skip_entry();
    }
  }
  if (error != nullptr && !reader.status().is_ok()) *error = reader.status();
  if (result.first_mismatch.empty() && result.records_walked < result.index_fields) {
    result.first_mismatch = "the index lists " + std::to_string(result.index_fields) +
                            " records, but the data file holds " + std::to_string(result.records_walked);
  }
  result.matches = result.first_mismatch.empty();
  return result;
}

}  // namespace zenfaro
