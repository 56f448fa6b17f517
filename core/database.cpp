#include "core/database.h"

#include <algorithm>

#include "core/line_reader.h"
#include "core/number_text.h"
#include "core/replace_files.h"

namespace zenfaro {

std::int32_t load_index(Database& db, const fs::path& index_path, const fs::path& data_path) {
  db.index_path = index_path;
  db.data_path = data_path;
  db.record_count = 0;
  db.index_fields = 0;
  std::unique_ptr<ReadableFile> file;
  if (!db.env->open_readable(index_path, &file).is_ok()) return 0;

  // Fields = length / 4 to the nearest integer, halves to the even one.
  const std::uint64_t length = file->size();
  std::uint64_t fields = length / 4;
  const std::uint64_t rest = length % 4;
  if (rest > 2 || (rest == 2 && fields % 2 == 1)) ++fields;
  db.index_fields = static_cast<std::int64_t>(fields);
  const auto count = static_cast<std::int32_t>(std::min<std::uint64_t>(fields, kMaxRecords));

  std::vector<unsigned char> bytes(static_cast<std::size_t>(count) * 4, 0);
  std::size_t filled = 0;
  while (filled < bytes.size()) {
    std::size_t got = 0;
    if (!file->read(reinterpret_cast<char*>(bytes.data()) + filled, bytes.size() - filled, &got).is_ok() ||
        got == 0) {
      break;  // missing bytes stay zero
    }
    filled += got;
  }
  for (std::int32_t k = 1; k <= count; ++k) {
    db.index[static_cast<std::size_t>(k)] = index_field(&bytes[static_cast<std::size_t>(k - 1) * 4]);
  }
  db.record_count = count;
  return count;
}

Status open_database(Env& env, const Layout& layout, Database* db) {
  db->env = &env;
  db->layout = layout;
  const Status status = finish_interrupted_replacement(env, layout);
  load_index(*db, layout.index_file(), layout.data_file());
  return status;
}

Record read_record(const Database& db, std::int32_t n, Status* error) {
  Record record;
  if (n < 1 || n > db.record_count) return record;
  std::unique_ptr<ReadableFile> file;
  const Status opened = db.env->open_readable(db.data_path, &file);
  if (!opened.is_ok()) {
    if (error != nullptr && !opened.is_not_found()) *error = opened;
    return record;
  }
  LineReader reader(file.get(), 16 * 1024);
  const std::int32_t offset = db.index[static_cast<std::size_t>(n)];
  // A negative offset lies before the file: read it as the end of the data.
  reader.seek(offset >= 0 ? static_cast<std::uint64_t>(offset) : file->size());
  for (EntryList& list : record.lists) {
    const std::int64_t count = reader.read_list_count();
    list.reserve(static_cast<std::size_t>(std::min<std::int64_t>(count, 1024)));
    for (std::int64_t i = 0; i < count; ++i) reader.read_entry(&list.emplace_back());
  }
  if (error != nullptr && !reader.status().is_ok()) *error = reader.status();
  return record;
}

}  // namespace zenfaro
