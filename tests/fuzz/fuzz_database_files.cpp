// Any bytes as commdb.dat and commdb.idx: loading the index, reading every record, searching them and checking
// the pair must neither crash nor hang nor run out of memory, the search must find in each record exactly the
// entries that read_record gives, and the whole check must name records ascending, with the index finding that
// the index check alone makes. The input is the index length (2 bytes), the index, then the data.
#include "core/check_database.h"
#include "editor/check_records.h"
#include "editor/find.h"
#include "editor/working_list.h"
#include "tests/support/database_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zenfaro;
  static testing::DatabaseFolder folder;
  if (size < 2) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t index_size = std::min<std::size_t>(data[0] | (data[1] << 8), bytes.size());
  folder.store_files(bytes.substr(index_size), bytes.substr(0, index_size));
  const Database& db = folder.db;
  if (db.record_count < 0 || db.record_count > kMaxRecords) __builtin_trap();
  // Matches come in record order; each names an entry holding "a" or "A" as shown, one for every such entry.
  const auto holds_a = [](const Entry& entry) { return entry.find_first_of("aA") != std::string::npos; };
  std::vector<FindHit> hits;
  const Status searched = for_each_match(db, FindQuery{"a", std::nullopt, false}, ShownRecord{},
                                         [&hits, &holds_a](const FindHit& hit, const Entry& entry) {
                                           if (!holds_a(entry)) __builtin_trap();
                                           hits.push_back(hit);
                                           return true;
                                         });
  // A search that stopped (a read error, or records the index makes overlap) has compared the records up to the
  // one of its last hit; read_record still reads those after it.
  const std::int32_t compared = searched.is_ok() ? db.record_count + 1 : hits.empty() ? 0 : hits.back().record;
  auto hit = hits.begin();
  for (std::int32_t n = -1; n <= compared; ++n) {
    const Record record = read_record(db, n);
    if ((n < 1 || n > db.record_count) && !record.empty()) __builtin_trap();
    std::size_t matching = 0;
    std::vector<WorkingList> shown = {WorkingList(true), WorkingList(true), WorkingList(false)};
    for (ListKind kind : kAllLists)
      for (const Entry& entry : record.list(kind)) {
        shown[static_cast<std::size_t>(kind)].insert(entry);
        matching += holds_a(entry) ? 1 : 0;
      }
    for (; hit != hits.end() && hit->record == n; ++hit, --matching) {
      const WorkingList& list = shown[static_cast<std::size_t>(hit->list)];
      if (matching == 0 || hit->position >= list.size() || !holds_a(list.at(hit->position))) __builtin_trap();
    }
    if (matching != 0) __builtin_trap();
  }
  if (hit != hits.end()) __builtin_trap();
  std::int64_t last = 1;
  const DatabaseCheck check = check_records(db, {}, [&last](const Finding& finding) {
    if (finding.record < last) __builtin_trap();
    last = finding.record;
  });
  if (check.findings.size() != check_database(db).findings.size()) __builtin_trap();
  return 0;
}
