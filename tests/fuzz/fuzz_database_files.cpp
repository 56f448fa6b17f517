// Any bytes as commdb.dat and commdb.idx: loading the index, reading every
// record and checking the pair must neither crash nor hang nor run out of
// memory. The input is the index length (2 bytes), the index, then the data.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "core/check_database.h"
#include "core/database.h"
#include "tests/fuzz/fuzz_folder.h"

namespace {

void write(const std::filesystem::path& path, const std::uint8_t* bytes, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zenfaro;
  if (size < 2) return 0;
  std::size_t index_size = static_cast<std::size_t>(data[0] | (data[1] << 8));
  data += 2;
  size -= 2;
  if (index_size > size) index_size = size;
  fuzz::clear_folder();
  const Layout layout{fuzz::folder(), false};
  write(layout.index_file(), data, index_size);
  write(layout.data_file(), data + index_size, size - index_size);

  Database db;
  open_database(default_env(), layout, &db).ignore_error();
  if (db.record_count < 0 || db.record_count > kMaxRecords) __builtin_trap();
  for (std::int32_t n = -1; n <= db.record_count + 1; ++n) {
    const Record record = read_record(db, n);
    if ((n < 1 || n > db.record_count) && !record.empty()) __builtin_trap();
  }
  check_database(db);
  return 0;
}
