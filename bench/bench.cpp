// zenfaro-bench OPERATION DIR: times one operation on the database in DIR
// and prints "seconds=S bytes_read=R bytes_written=W records=N" (for read,
// S is the mean time of one read_record). The database is opened before
// the clock starts.
//   read    read_record of 20000 records chosen at random
//   save    write_record_set of record 4000 with one more commentary line
//   export  Export Commentary to DIR/export.CMX
//   import  Import Commentary of DIR/incoming.CMX, confirmed
//   readers 1000 saves of record 1 of a small database in DIR/readers while
//           another thread looks for both database files as fast as it can;
//           prints how often one was missing
//   find    every entry containing a text that no entry holds (a whole
//           search, case ignored), over the database in DIR
//   check   the whole check (the index and every kind of finding) of the
//           database in DIR; prints how many findings it made
//   restore commdb.old (a copy of commdb.dat, made before the clock starts)
//           put back as the database in DIR, as `zenfaro-cli restore` does
//   preview the item box's preview of a 100-byte text that expands into
//           10000 entries (the most the preview makes rather than counts),
//           with the record on screen being record 1 of DIR
#include <atomic>
#include <chrono>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "bench/counting_env.h"
#include "core/database.h"
#include "core/restore_backup.h"
#include "core/write_record_set.h"
#include "editor/check_records.h"
#include "editor/editor_model.h"
#include "editor/expansion_preview.h"
#include "editor/find.h"
#include "exchange/export_commentary.h"
#include "exchange/import_commentary.h"

namespace {

using namespace zenfaro;
using Clock = std::chrono::steady_clock;

class AnswerYes final : public Prompt {
 public:
  bool ask(const Question&) override { return true; }
  void tell(const Message& message) override { std::cerr << message.text << "\n"; }
  std::optional<std::string> choose_file(const FileRequest&) override { return std::nullopt; }
};

bool run(const std::string& operation, Database& db, const std::filesystem::path& dir, double* seconds) {
  const Clock::time_point start = Clock::now();
  bool ok = true;
  if (operation == "read") {
    constexpr int kReads = 20000;
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> pick(1, db.record_count);
    std::size_t entries = 0;
    for (int i = 0; i < kReads; ++i) entries += read_record(db, pick(random)).total_entries();
    ok = entries > 0;
    *seconds = std::chrono::duration<double>(Clock::now() - start).count() / kReads;
    return ok;
  }
  if (operation == "save") {
    Record record = read_record(db, 4000);
    record.list(ListKind::lines).push_back("One more line for the benchmark.");
    const Status status = write_record_set(db, 4000, WriteMode::save, record);
    if (!status.is_ok()) std::cerr << status.message() << "\n";
    ok = status.is_ok();
  } else if (operation == "export") {
    std::int32_t records = 0;
    const Status status = export_commentary(db, dir / "export.CMX", &records);
    if (!status.is_ok()) std::cerr << status.message() << "\n";
    ok = status.is_ok();
  } else if (operation == "import") {
    AnswerYes yes;
    ok = import_commentary(db, (dir / "incoming.CMX").u8string(), yes).result == ImportResult::completed;
  } else if (operation == "readers") {
    std::filesystem::create_directories(dir / "readers");
    Database small;
    open_database(default_env(), Layout{dir / "readers", false}, &small).ignore_error();
    for (std::int32_t n = 1; n <= 20 && ok; ++n)
      ok = write_record_set(small, n, WriteMode::save, read_record(db, n)).is_ok();
    std::atomic<bool> done{false};
    std::atomic<long> looks{0};
    std::atomic<long> missing{0};
    std::thread reader([&] {
      while (!done) {
        if (!default_env().file_info(small.index_path).exists || !default_env().file_info(small.data_path).exists) {
          ++missing;
        }
        ++looks;
      }
    });
    Record record = read_record(small, 1);
    for (int i = 0; i < 1000 && ok; ++i) {
      record.list(ListKind::lines).push_back("line " + std::to_string(i));
      ok = write_record_set(small, 1, WriteMode::save, record).is_ok();
    }
    done = true;
    reader.join();
    std::cout << "saves=1000 looks=" << looks << " missing=" << missing << "\n";
    ok = ok && missing == 0;
  } else if (operation == "find") {
    std::size_t matches = 0;
    const Status status = for_each_match(db, FindQuery{"Penalty", std::nullopt, false}, ShownRecord{},
                                         [&matches](const FindHit&, const Entry&) {
                                           ++matches;
                                           return true;
                                         });
    if (!status.is_ok()) std::cerr << status.message() << "\n";
    ok = status.is_ok() && matches == 0;
  } else if (operation == "check") {
    std::int64_t findings = 0;
    Status error;
    const DatabaseCheck check = check_records(
        db, {}, [&findings](const Finding&) { ++findings; }, &error);
    if (!error.is_ok()) std::cerr << error.message() << "\n";
    std::cout << "findings=" << findings << "\n";
    ok = error.is_ok() && check.records_walked == db.record_count;
  } else if (operation == "restore") {
    RestorePlan plan;
    Status status = plan_restore(db, &plan);
    if (status.is_ok()) status = restore_backup(db, plan);
    if (!status.is_ok()) std::cerr << status.message() << "\n";
    ok = status.is_ok();
  } else if (operation == "preview") {
    AnswerYes prompt;
    EditorModel model(*db.env, db.layout, prompt);
    model.open();
    // 2^4 * 5^4 = 10000 entries of 100 bytes: the most the preview makes.
    std::string text(36, 'x');
    for (int i = 0; i < 4; ++i) text += "(a,b)(a,b,c,d,e)";
    const Clock::time_point shown = Clock::now();
    const ExpansionPreview preview = preview_expansion(model, text);
    *seconds = std::chrono::duration<double>(Clock::now() - shown).count();
    std::cout << "entries=" << preview.count << " first=" << preview.first.size() << "\n";
    return preview.count == 10000 && preview.first.size() == 5;
  } else {
    std::cerr << "unknown operation " << operation << "\n";
    return false;
  }
  *seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: zenfaro-bench read|save|export|import|find|check|restore|preview DIR\n";
    return 2;
  }
  const std::filesystem::path dir = std::filesystem::absolute(std::filesystem::u8path(argv[2]));
  if (std::string(argv[1]) == "restore") {
    std::filesystem::copy_file(dir / "commdb.dat", dir / "commdb.old",
                               std::filesystem::copy_options::overwrite_existing);
  }
  bench::CountingEnv env;
  Database db;
  open_database(env, Layout{dir, false}, &db).ignore_error();
  env.bytes_read = env.bytes_written = 0;
  double seconds = 0;
  if (!run(argv[1], db, dir, &seconds)) return 1;
  std::cout << "seconds=" << seconds << " bytes_read=" << env.bytes_read << " bytes_written=" << env.bytes_written
            << " records=" << db.record_count << "\n";
  return 0;
}
