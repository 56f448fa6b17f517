#include "tests/support/records.h"

#include "tests/support/temp_folder.h"

namespace zenfaro::testing {

Record make_record(EntryList triggers, EntryList exclusions, EntryList lines) {
  Record record;
  record.list(ListKind::triggers) = std::move(triggers);
  record.list(ListKind::exclusions) = std::move(exclusions);
  record.list(ListKind::lines) = std::move(lines);
  return record;
}

std::string stored(const Record& record) {
  std::string bytes;
  for (const EntryList& list : record.lists) {
    bytes += count(static_cast<long long>(list.size()));
    for (const Entry& entry : list) bytes += line(entry);
  }
  return bytes;
}

}  // namespace zenfaro::testing
