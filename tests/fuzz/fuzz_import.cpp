// Any bytes as an exchange file imported into a small database: the import
// must neither crash nor hang nor run out of memory; declined, it leaves the
// database as it was; confirmed, it leaves a whole database whose index
// matches its data file. The first byte's lowest bit is the answer to the
// confirmation; the rest is the exchange file.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "core/check_database.h"
#include "core/write_record_set.h"
#include "exchange/import_commentary.h"
#include "tests/fuzz/fuzz_folder.h"
#include "tests/support/scripted_prompt.h"

namespace {

using namespace zenfaro;

Record record(EntryList triggers, EntryList lines) {
  Record r;
  r.list(ListKind::triggers) = std::move(triggers);
  r.list(ListKind::lines) = std::move(lines);
  return r;
}

std::string contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const bool confirm = (data[0] & 1) != 0;
  fuzz::clear_folder();
  const Layout layout{fuzz::folder(), false};
  Database db;
  open_database(default_env(), layout, &db).ignore_error();
  if (!write_record_set(db, 1, WriteMode::save, record({"goal"}, {"What a strike", "In!"})).is_ok()) __builtin_trap();
  if (!write_record_set(db, 2, WriteMode::save, record({"a", "b"}, {""})).is_ok()) __builtin_trap();
  if (!write_record_set(db, 3, WriteMode::save, record({"x"}, {})).is_ok()) __builtin_trap();
  const std::string old_data = contents(layout.data_file());
  const std::string old_index = contents(layout.index_file());
  {
    std::ofstream out(layout.work_file("in.CMX"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }

  testing::ScriptedPrompt prompt;
  prompt.answers = {confirm};
  const ImportResult result = import_commentary(db, layout.work_file("in.CMX").u8string(), prompt).result;
  if (result == ImportResult::completed) {
    if (!confirm || db.record_count > kMaxRecords || !check_database(db).matches) __builtin_trap();
  } else if (contents(layout.data_file()) != old_data || contents(layout.index_file()) != old_index) {
    __builtin_trap();  // an import that did not complete changed the database
  }
  return 0;
}
