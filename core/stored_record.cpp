#include "core/stored_record.h"

#include "core/line_reader.h"
#include "core/record_codec.h"

namespace zenfaro {
namespace {

// A "file" that keeps what is written in memory.
class StringFile final : public WritableFile {
 public:
  explicit StringFile(std::string* bytes) : bytes_(bytes) {}
  Status append(std::string_view bytes) override {
    bytes_->append(bytes);
    return Status::ok();
  }
  Status sync() override { return Status::ok(); }
  Status close() override { return Status::ok(); }

 private:
  std::string* bytes_;
};

}  // namespace

std::string stored_form(const Record& record) {
  std::string bytes;
  LineWriter out(std::make_unique<StringFile>(&bytes));
  write_record(out, record, EntryCut::work_buffer);
  out.close().ignore_error();  // nothing in memory fails
  return bytes;
}

Status stored_record_bytes(const Database& db, std::int32_t n, std::string* bytes) {
  bytes->clear();
  return read_stored_bytes(db, n, [bytes](std::string_view piece) { bytes->append(piece); });
}

Status records_holding(const Database& db, std::string_view bytes, std::vector<std::int32_t>* numbers,
                       std::size_t limit) {
  numbers->clear();
  if (bytes.empty() || limit == 0) return Status::ok();
  Status status;
  std::string candidate;
  const Status walked = walk_records(db, 1, db.record_count, [&](std::int32_t n, LineReader& in) {
    // Only a record of the same length is read again and compared.
    const std::uint64_t start = in.position();
    skip_record(in);
    if (in.position() - start != bytes.size()) return true;
    status = stored_record_bytes(db, n, &candidate);
    // A damaged record (refused) holds no bytes a sound one could.
    if (status.code() == Status::Code::refused) status = Status::ok();
    else if (status.is_ok() && candidate == bytes) numbers->push_back(n);
    return status.is_ok() && numbers->size() < limit;
  });
  return walked.is_ok() ? status : walked;
}

}  // namespace zenfaro
