#pragma once
// The record format, written down once. A record is its three lists in the
// fixed order (triggers, exclusion triggers, commentary lines); each list is
// a count line and then that many entry lines. The data file commdb.dat and
// the record blocks of an exchange file both hold records in this form.
//
// Reading follows the reading rules of LineReader, with the bounded count
// (LineReader::read_list_count) as the only count. Writing always produces
// the canonical form: " 7 " CR LF count lines and entries as they are, or cut
// as the work buffer of a save cuts them.
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "core/line_reader.h"
#include "core/line_writer.h"
#include "core/record.h"

namespace zenfaro {

// A reader of records hands each list to a visitor as it streams by. A
// visitor derives from RecordVisitor and hides the calls it needs.
struct RecordVisitor {
  // The bytes of each entry that are kept (the rest of the line is skipped).
  std::size_t keep = std::numeric_limits<std::size_t>::max();
  void count(ListKind /*kind*/, std::int64_t /*count*/) {}
  void entry(ListKind /*kind*/, std::string_view /*text*/) {}
  void end(ListKind /*kind*/) {}
};

// Reads one record from where `in` stands: for each list in order,
// visitor.count(), visitor.entry() for each entry, then visitor.end().
template <typename Visitor>
void read_record_with(LineReader& in, Visitor& visitor) {
  std::string scratch;
  for (const ListKind kind : kAllLists) {
    const std::int64_t count = in.read_list_count();
    visitor.count(kind, count);
    for (std::int64_t i = 0; i < count; ++i) visitor.entry(kind, in.read_entry_view(scratch, visitor.keep));
    visitor.end(kind);
  }
}

// Passes over one record.
void skip_record(LineReader& in);

// Reads one record into `*record`. False, with `*record` emptied, when one
// of its lists holds more than `max_entries` entries.
bool read_record_into(LineReader& in, Record* record, std::int64_t max_entries = kMaxListEntries);

// What a copy does with each entry.
enum class EntryCut {
  none,         // copied whole (export)
  work_buffer,  // cut at a NUL and after kMaxEntryBytes bytes (save)
};

// Cuts an entry as the save's work buffer does: at its first NUL and after
// kMaxEntryBytes bytes.
std::string_view through_work_buffer(std::string_view entry);

// Writes one list: its count line, then `count` entry lines, `entry(i)`
// giving entry i (from 0) as a string_view. A writer whose entries are not
// an EntryList (the import's rebuild) streams them through this.
template <typename EntryAt>
void write_list_with(LineWriter& out, std::size_t count, const EntryAt& entry, EntryCut cut = EntryCut::none) {
  out.write_count(static_cast<std::int64_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view text = entry(i);
    out.write_line(cut == EntryCut::work_buffer ? through_work_buffer(text) : text);
  }
}
void write_list(LineWriter& out, const EntryList& list, EntryCut cut = EntryCut::none);
void write_record(LineWriter& out, const Record& record, EntryCut cut = EntryCut::none);

// Copies one record from `in` to `out` in canonical form.
void copy_record(LineReader& in, LineWriter& out, EntryCut cut);

}  // namespace zenfaro
