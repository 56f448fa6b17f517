// Stage 7 of the import: stored and incoming records into the merge work
// file tempfile.tmp. Every stored record is copied in order, the commentary
// lines of the incoming records that extend it appended to its own (in the
// order of the exchange file), and the new records follow at the end. The
// merge streams one entry at a time: the data file is read front to back,
// and each incoming record it needs, extending or new, with one positioned
// read of its own size.
#include <algorithm>
#include <string>

#include "core/line_writer.h"
#include "core/record_codec.h"
#include "exchange/import_stages.h"
#include "exchange/merge_work_file.h"

namespace zenfaro {
namespace {

// The largest single read of an extending record; a larger one comes in
// several reads.
constexpr std::uint64_t kMaxRecordRead = 1 << 20;

// Writes the lists it reads as list groups: each entry (escaped where
// needed), then the terminator. With `only_lines`, the triggers and
// exclusion triggers are passed over; with `open_lines`, the commentary
// lines are left without their terminator, for more lines to follow.
struct GroupWriter : RecordVisitor {
  LineWriter* out = nullptr;
  bool only_lines = false;
  bool open_lines = false;
  std::int64_t lines = 0;        // the commentary lines written
  AddedRecord* added = nullptr;  // where the first trigger is noted, if anywhere
  std::string scratch;

  void count(ListKind kind, std::int64_t count) {
    const bool wanted = !only_lines || kind == ListKind::lines;
    keep = wanted ? std::numeric_limits<std::size_t>::max() : 0;
    if (kind == ListKind::lines) lines = count;
  }
  void entry(ListKind kind, std::string_view text) {
    if (added != nullptr && kind == ListKind::triggers && !added->has_trigger) {
      added->has_trigger = true;
      added->first_trigger.assign(text.substr(0, kShownTriggerBytes + 1));
    }
    if (!only_lines || kind == ListKind::lines) out->write_line(escape_merge_entry(text, scratch));
  }
  void end(ListKind kind) {
    if (!only_lines && !(open_lines && kind == ListKind::lines)) out->write_line(kListTerminator);
  }
};

// Puts `in` at an incoming record, whose block the next read fetches whole.
void seek_record(LineReader& in, const IncomingRecord& record) {
  in.seek(record.start, static_cast<std::size_t>(std::clamp<std::uint64_t>(record.size, 16, kMaxRecordRead)));
}

// For each stored record, the incoming records that extend it, in ascending
// order: first[r] is the first (or -1), next[e] the one after e (or -1).
struct Extensions {
  std::vector<std::int32_t> first;
  std::vector<std::int32_t> next;
};

Extensions extensions_of(const ImportRun& run) {
  Extensions result{std::vector<std::int32_t>(static_cast<std::size_t>(run.db.record_count) + 1, -1),
                    std::vector<std::int32_t>(run.incoming.size(), -1)};
  for (std::size_t e = run.incoming.size(); e-- > 0;) {
    const std::int32_t r = run.incoming[e].status;
    if (r <= 0) continue;
    result.next[e] = result.first[static_cast<std::size_t>(r)];
    result.first[static_cast<std::size_t>(r)] = static_cast<std::int32_t>(e);
  }
  return result;
}

Status copy_stored_records(ImportRun& run, LineWriter& out) {
  const Extensions extensions = extensions_of(run);
  LineReader incoming(run.exchange.get(), 64 * 1024);
  Status status = walk_records(run.db, 1, run.db.record_count, [&](std::int32_t n, LineReader& stored) {
    tell_record_progress(run.progress, ExchangeStage::merging, static_cast<std::uint64_t>(n - 1), run.stored.size());
    GroupWriter own;
    own.out = &out;
    std::int32_t e = extensions.first[static_cast<std::size_t>(n)];
    own.open_lines = e >= 0;
    read_record_with(stored, own);
    if (e >= 0) run.extended_own_lines.emplace_back(n, own.lines);
    for (; e >= 0; e = extensions.next[static_cast<std::size_t>(e)]) {
      IncomingRecord& record = run.incoming[static_cast<std::size_t>(e)];
      seek_record(incoming, record);
      GroupWriter lines;  // its triggers are those of record n
      lines.out = &out;
      lines.only_lines = true;
      read_record_with(incoming, lines);
      record.status = kStatusIdentical;  // merged
    }
    if (own.open_lines) out.write_line(kListTerminator);
    return out.status().is_ok();
  });
  return status.is_ok() ? incoming.status() : status;
}

// The new records follow the stored ones, each noted in the summary by its
// number and first trigger.
Status copy_new_records(ImportRun& run, LineWriter& out) {
  LineReader incoming(run.exchange.get(), 64 * 1024);
  GroupWriter groups;
  groups.out = &out;
  std::vector<AddedRecord>& added = run.summary.added;
  for (const IncomingRecord& record : run.incoming) {
    if (record.status != kStatusNew || !out.status().is_ok()) continue;
    added.push_back({run.db.record_count + static_cast<std::int32_t>(added.size()) + 1, false, {}});
    groups.added = &added.back();
    seek_record(incoming, record);
    read_record_with(incoming, groups);
  }
  return incoming.status();
}

}  // namespace

Status merge_records(ImportRun& run) {
  std::unique_ptr<LineWriter> out;
  Status status = LineWriter::create(*run.db.env, run.files.merge, &out);
  if (!status.is_ok()) return status;
  status = copy_stored_records(run, *out);
  if (status.is_ok()) status = copy_new_records(run, *out);
  // tempfile.tmp is read back by this same run only: it need not reach the
  // disk.
  const Status closed = out->close();
  if (status.is_ok()) status = closed;
  run.exchange_in.reset();
  run.exchange.reset();
  return status;
}

}  // namespace zenfaro
