#include "core/database_writer.h"

#include <string>

#include "core/capacities.h"

namespace zenfaro {

Status DatabaseWriter::open(Env& env, const std::filesystem::path& data_path, const std::filesystem::path& index_path,
                            std::unique_ptr<DatabaseWriter>* writer) {
  std::unique_ptr<LineWriter> data;
  std::unique_ptr<LineWriter> index;
  Status status = LineWriter::create(env, data_path, &data);
  if (status.is_ok()) status = LineWriter::create(env, index_path, &index);
  if (!status.is_ok()) {
    if (data) data->abandon();
    return status;
  }
  writer->reset(new DatabaseWriter(std::move(data), std::move(index)));
  return Status::ok();
}

Status DatabaseWriter::begin_record() {
  if (records_ >= kMaxRecords) {
    return Status::refused("The database can hold at most " + std::to_string(kMaxRecords) + " records.");
  }
  if (data_->bytes_written() > kMaxRecordStart) {
    return Status::refused("The database file would grow beyond 2 GB.");
  }
  index_->write_index_field(static_cast<std::int32_t>(data_->bytes_written()));
  ++records_;
  return status();
}

Status DatabaseWriter::status() const { return data_->status().is_ok() ? index_->status() : data_->status(); }

Status DatabaseWriter::finish() {
  Status status = data_->finish();
  const Status index = index_->finish();
  if (status.is_ok()) status = index;
  return status;
}

void DatabaseWriter::abandon() {
  data_->abandon();
  index_->abandon();
}

}  // namespace zenfaro
