// zenfaro-bench-generate DIR: writes the benchmark's inputs into DIR.
//  - commdb.dat and commdb.idx: 8000 records of 3 triggers, 1 exclusion
//    trigger and 8 commentary lines of 40 to 120 bytes;
//  - incoming.CMX: 32000 records in shuffled order: 15000 identical to a
//    stored record, 15000 extending one (its own lines plus two new ones),
//    2000 new, so that the merged database holds exactly 10000 records;
//  - full/commdb.dat and .idx: 10000 records of the same kind (the most a
//    database holds), for the search;
//  - long/commdb.dat and .idx: one record of 3 triggers and 10000
//    commentary lines, for showing a long record in the window.
// The generator is deterministic: the same DIR contents on every run.
#include <algorithm>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "core/database_writer.h"
#include "core/record_codec.h"
#include "exchange/exchange_format.h"

namespace {

using namespace zenfaro;

constexpr int kStored = 8000;
constexpr int kIdentical = 15000;
constexpr int kExtending = 15000;
constexpr int kNew = 2000;

class Words {
 public:
  explicit Words(unsigned seed) : random_(seed) {}
  std::string text(std::size_t low, std::size_t high) {
    static const char* const kWords[] = {"the",  "ball",   "keeper", "strike", "what",  "a",     "shot",
                                         "goal", "corner", "header", "post",   "cross", "save",  "again",
                                         "wide", "over",   "into",   "net",    "from",  "range", "crowd"};
    const std::size_t length = std::uniform_int_distribution<std::size_t>(low, high)(random_);
    std::string result;
    while (result.size() < length) {
      if (!result.empty()) result += ' ';
      result += kWords[std::uniform_int_distribution<std::size_t>(0, std::size(kWords) - 1)(random_)];
    }
    result.resize(length);
    return result;
  }
  std::mt19937& random() { return random_; }

 private:
  std::mt19937 random_;
};

// Triggers unique to record `id`, so that every record has its own trigger
// fingerprint.
Record make_record(Words& words, int id) {
  Record record;
  for (int t = 0; t < 3; ++t) record.lists[0].push_back("trigger " + std::to_string(id) + "." + std::to_string(t));
  record.lists[1].push_back("not " + std::to_string(id));
  for (int l = 0; l < 8; ++l) record.lists[2].push_back(words.text(40, 120));
  return record;
}

bool finish(LineWriter& out, const char* name) {
  const Status status = out.close();
  if (!status.is_ok()) std::cerr << name << ": " << status.message() << "\n";
  return status.is_ok();
}

// Writes `records` as the database in `folder`, as a save writes one.
bool write_database(const std::filesystem::path& folder, const std::vector<Record>& records) {
  std::filesystem::create_directories(folder);
  std::unique_ptr<DatabaseWriter> out;
  Status status = DatabaseWriter::open(default_env(), folder / "commdb.dat", folder / "commdb.idx", &out);
  for (auto record = records.begin(); status.is_ok() && record != records.end(); ++record) {
    status = out->begin_record();
    write_record(out->data(), *record);
  }
  if (status.is_ok()) status = out->finish();
  if (!status.is_ok()) std::cerr << "cannot write the database in " << folder << ": " << status.message() << "\n";
  return status.is_ok();
}

// The two extra databases, from a generator of their own so that the main
// inputs stay as they were.
bool write_extra_databases(const std::filesystem::path& dir) {
  Words words(20260101);
  std::vector<Record> full;
  for (int id = 0; id < kMaxRecords; ++id) full.push_back(make_record(words, id));
  Record long_record = make_record(words, kMaxRecords);
  long_record.lists[2].clear();
  for (int l = 0; l < 10000; ++l) long_record.lists[2].push_back(words.text(40, 120));
  return write_database(dir / "full", full) && write_database(dir / "long", {long_record});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zenfaro-bench-generate DIR\n";
    return 2;
  }
  const std::filesystem::path dir = std::filesystem::u8path(argv[1]);
  std::filesystem::create_directories(dir);
  Words words(20261206);
  std::vector<Record> stored;
  for (int id = 0; id < kStored; ++id) stored.push_back(make_record(words, id));

  if (!write_database(dir, stored)) return 1;
  std::unique_ptr<LineWriter> exchange;
  if (!LineWriter::create(default_env(), dir / "incoming.CMX", &exchange).is_ok()) {
    std::cerr << "cannot create " << dir / "incoming.CMX"
              << "\n";
    return 1;
  }

  std::vector<Record> incoming;
  for (int i = 0; i < kIdentical; ++i) incoming.push_back(stored[static_cast<std::size_t>(i % kStored)]);
  for (int i = 0; i < kExtending; ++i) {
    Record record = stored[static_cast<std::size_t>((i * 7) % kStored)];
    for (int l = 0; l < 2; ++l) record.lists[2].push_back(words.text(40, 120));
    incoming.push_back(std::move(record));
  }
  for (int i = 0; i < kNew; ++i) incoming.push_back(make_record(words, kStored + i));
  std::shuffle(incoming.begin(), incoming.end(), words.random());

  write_exchange_header(*exchange, static_cast<std::int32_t>(incoming.size()));
  for (const Record& record : incoming) write_record(*exchange, record);

  if (!finish(*exchange, "incoming.CMX")) return 1;
  return write_extra_databases(dir) ? 0 : 1;
}
