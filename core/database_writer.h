#pragma once
// Writes a new database: a data file of records and its index of record
// starts, together. Saving and the import's rebuild both write through it.
#include <cstdint>
#include <filesystem>
#include <memory>

#include "core/line_writer.h"

namespace zenfaro {

class DatabaseWriter {
 public:
  // Creates both files anew (see create_file_anew).
  static Status open(Env& env, const std::filesystem::path& data_path, const std::filesystem::path& index_path,
                     std::unique_ptr<DatabaseWriter>* writer);

  // Starts the next record: its start in the data file becomes the next
  // index field. Refused beyond kMaxRecords records, or when the record
  // would start beyond what a signed 32-bit field can hold.
  Status begin_record();
  // Where the records' lines go.
  LineWriter& data() { return *data_; }
  std::int32_t records() const { return records_; }
  // The first failure of either file, or ok.
  Status status() const;
  // Makes both files durable and closes them.
  Status finish();
  // Closes both files after a failure; what they hold no longer matters.
  void abandon();

 private:
  DatabaseWriter(std::unique_ptr<LineWriter> data, std::unique_ptr<LineWriter> index)
      : data_(std::move(data)), index_(std::move(index)) {}
  std::unique_ptr<LineWriter> data_;
  std::unique_ptr<LineWriter> index_;
  std::int32_t records_ = 0;
};

}  // namespace zenfaro
