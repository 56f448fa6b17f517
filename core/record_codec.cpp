#include "core/record_codec.h"

namespace zenfaro {
namespace {

std::string_view cut_entry(std::string_view entry, EntryCut cut) {
  return cut == EntryCut::work_buffer ? through_work_buffer(entry) : entry;
}

struct Skipper : RecordVisitor {
  Skipper() { keep = 0; }
};

// Fills a record, giving up on a list longer than the capacity: the rest of
// that list is then only passed over, so memory stays bounded.
struct Filler : RecordVisitor {
  Record* record;
  std::int64_t max_entries;
  bool too_long = false;
  void count(ListKind kind, std::int64_t count) {
    if (count > max_entries) {
      too_long = true;
      keep = 0;
    } else if (!too_long) {
      record->list(kind).reserve(static_cast<std::size_t>(count));
    }
  }
  void entry(ListKind kind, std::string_view text) {
    if (!too_long) record->list(kind).emplace_back(text);
  }
};

struct Copier : RecordVisitor {
  LineWriter* out;
  EntryCut cut;
  void count(ListKind, std::int64_t count) { out->write_count(count); }
  void entry(ListKind, std::string_view text) { out->write_line(cut_entry(text, cut)); }
};

}  // namespace

void skip_record(LineReader& in) {
  Skipper skipper;
  read_record_with(in, skipper);
}

bool read_record_into(LineReader& in, Record* record, std::int64_t max_entries) {
  *record = Record{};
  Filler filler;
  filler.record = record;
  filler.max_entries = max_entries;
  read_record_with(in, filler);
  if (filler.too_long) *record = Record{};
  return !filler.too_long;
}

std::string_view through_work_buffer(std::string_view entry) {
  entry = entry.substr(0, entry.find('\0'));
  return entry.substr(0, kMaxEntryBytes);
}

void write_list(LineWriter& out, const EntryList& list, EntryCut cut) {
  write_list_with(
      out, list.size(), [&list](std::size_t i) { return std::string_view(list[i]); }, cut);
}

void write_record(LineWriter& out, const Record& record, EntryCut cut) {
  for (const EntryList& list : record.lists) write_list(out, list, cut);
}

void copy_record(LineReader& in, LineWriter& out, EntryCut cut) {
  Copier copier;
  copier.out = &out;
  copier.cut = cut;
  read_record_with(in, copier);
}

}  // namespace zenfaro
