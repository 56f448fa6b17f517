#include "tests/exchange/exchange_fixture.h"

namespace zenfaro::testing {

std::string exchange_header(long long records) {
  return line("[Version]") + line("Handler=ZENFARO.EXE") + line("ExportFileVersion=99") + line("") +
         line("[Exported Commentary]") + count(records);
}

std::string exchange_of(const std::vector<Record>& records) {
  std::string bytes = exchange_header(static_cast<long long>(records.size()));
  for (const Record& record : records) bytes += stored(record);
  return bytes;
}

void ExchangeFolder::SetUp() {
  db_.env = &env_;
  db_.layout = Layout{folder_.path(), false};
  reload();
}

void ExchangeFolder::store(const std::vector<Record>& records) {
  std::string data;
  std::string index;
  for (const Record& record : records) {
    const auto offset = static_cast<std::uint32_t>(data.size());
    for (int shift = 0; shift < 32; shift += 8) index += static_cast<char>((offset >> shift) & 0xFF);
    data += stored(record);
  }
  store_files(data, index);
}

void ExchangeFolder::store_files(const std::string& data, const std::string& index) {
  write_bytes(folder_ / "commdb.dat", data);
  write_bytes(folder_ / "commdb.idx", index);
  reload();
}

void ExchangeFolder::reload() { load_index(db_, db_.layout.index_file(), db_.layout.data_file()); }

std::vector<Record> ExchangeFolder::records() const {
  std::vector<Record> result;
  for (std::int32_t n = 1; n <= db_.record_count; ++n) result.push_back(read_record(db_, n));
  return result;
}

ImportOutcome ExchangeFolder::import_told(std::string_view name) {
  const ImportOutcome outcome = import_commentary(db_, path_of(name), prompt_);
  if (!outcome.message.empty()) prompt_.tell({outcome.message, kDefaultCaption, outcome.icon});
  return outcome;
}

}  // namespace zenfaro::testing
