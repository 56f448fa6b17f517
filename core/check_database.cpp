#include "core/check_database.h"

#include <vector>

#include "core/line_reader.h"
#include "core/number_text.h"
#include "core/record_codec.h"

namespace zenfaro {
namespace {

// The fields of the index file, one after another, read through a buffer:
// an index of any length costs no more memory than that.
class IndexFields {
 public:
  IndexFields(const Database& db, Status* error) {
    const Status status = db.env->open_readable(db.index_path, &file_);
    if (!status.is_ok() && !status.is_not_found() && error != nullptr) *error = status;
  }
  // Fields in the file; a last field cut short counts.
  std::int64_t count() const { return file_ ? static_cast<std::int64_t>((file_->size() + 3) / 4) : 0; }
  // Field k (from 1, in ascending order); a field cut short reads as -1,
  // which never matches a record's start.
  std::int32_t field(std::int64_t k, Status* error) {
    const std::uint64_t at = static_cast<std::uint64_t>(k - 1) * 4;
    if (at < buffer_start_ || at + 4 > buffer_start_ + filled_) {
      buffer_start_ = at;
      filled_ = 0;
      const Status status = file_->read_at(at, buffer_.data(), buffer_.size(), &filled_);
      if (!status.is_ok() && error != nullptr) *error = status;
    }
    if (at + 4 > buffer_start_ + filled_) return -1;
    return index_field(reinterpret_cast<const unsigned char*>(buffer_.data() + (at - buffer_start_)));
  }

 private:
  std::unique_ptr<ReadableFile> file_;
  std::vector<char> buffer_ = std::vector<char>(64 * 1024);
  std::uint64_t buffer_start_ = 0;
  std::size_t filled_ = 0;
};

}  // namespace

IndexCheck check_database(const Database& db, Status* error) {
  IndexCheck result;
  IndexFields fields(db, error);
  result.index_fields = fields.count();

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
      } else if (const std::int32_t field = fields.field(k, error);
                 field < 0 || static_cast<std::uint64_t>(field) != start) {
        result.first_mismatch = "record " + std::to_string(k) + " starts at byte " + std::to_string(start) +
                                " of the data file, but the index gives " + std::to_string(field);
      }
    }
    skip_record(reader);
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
