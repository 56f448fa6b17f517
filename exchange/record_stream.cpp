#include "exchange/record_stream.h"

namespace zenfaro {

std::uint64_t record_start(const Database& db, std::int32_t n, const ReadableFile* file) {
  const std::int32_t offset = db.index[static_cast<std::size_t>(n)];
  if (offset >= 0) return static_cast<std::uint64_t>(offset);
  return file != nullptr ? file->size() : 0;
}

Status open_data_file(const Database& db, std::unique_ptr<ReadableFile>* file) {
  const Status status = db.env->open_readable(db.data_path, file);
  if (status.is_not_found()) {
    file->reset();
    return Status::ok();
  }
  return status;
}

}  // namespace zenfaro
