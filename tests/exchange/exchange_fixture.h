#pragma once
// A database folder for the exchange tests: records written in canonical
// form with a matching index, exchange files built from records, and the
// database opened through a FaultyEnv so that any file operation can fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/database.h"
#include "exchange/import_commentary.h"
#include "tests/support/faulty_env.h"
#include "tests/support/records.h"
#include "tests/support/scripted_prompt.h"
#include "tests/support/temp_folder.h"

namespace zenfaro::testing {

// The five header lines and the record count.
std::string exchange_header(long long records);
// A whole exchange file holding `records`.
std::string exchange_of(const std::vector<Record>& records);

class ExchangeFolder : public ::testing::Test {
 protected:
  void SetUp() override;

  // Writes commdb.dat and commdb.idx holding `records` and loads them.
  void store(const std::vector<Record>& records);
  // Writes the two files as given and loads them.
  void store_files(const std::string& data, const std::string& index);
  // Loads the database as it now stands on disk (as a reopening would).
  void reload();

  std::string file(std::string_view name) const { return read_bytes(folder_ / name); }
  bool exists(std::string_view name) const { return is_file(folder_ / name); }
  // The stored records, read back through the index.
  std::vector<Record> records() const;
  // The UTF-8 path of a file in the folder, as a dialog would return it.
  std::string path_of(std::string_view name) const { return (folder_ / name).u8string(); }
  // Imports `name` as the window does: the outcome's message is told.
  ImportOutcome import_told(std::string_view name);

  TempFolder folder_;
  FaultyEnv env_;
  Database db_;
  ScriptedPrompt prompt_;
};

}  // namespace zenfaro::testing
