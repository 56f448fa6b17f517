// Stage 7 of the import: stored and incoming records into the merge work
// file tempfile.tmp. Every stored record is copied in order, the commentary
// lines of the incoming records that extend it appended to its own (in the
// order of the exchange file), and the new records follow at the end. The
// merge streams: one entry at a time, the exchange file read by position.
#include <algorithm>
#include <optional>
#include <string>

#include "core/line_writer.h"
#include "exchange/import_run.h"
#include "exchange/merge_work_file.h"
#include "exchange/record_stream.h"

namespace zenfaro {
namespace {

// Reads incoming records by position. They jump about the exchange file, so
// each is read through a buffer of its own size (at most 64 KB): one read
// fetches the whole block and no byte it does not need.
class PositionedReader {
 public:
  explicit PositionedReader(ReadableFile* file) : file_(file) {}

  LineReader& at(const IncomingRecord& record) {
    keep_status();
    constexpr std::uint64_t kMaxBuffer = 64 * 1024;
    reader_.emplace(file_, static_cast<std::size_t>(std::clamp<std::uint64_t>(record.size, 16, kMaxBuffer)));
    reader_->seek(record.start);  // never 0: the header comes first
    return *reader_;
  }
  Status status() {
    keep_status();
    return status_;
  }

 private:
  void keep_status() {
    if (reader_ && status_.is_ok()) status_ = reader_->status();
  }
  ReadableFile* file_;
  std::optional<LineReader> reader_;
  Status status_;
};

struct Merge {
  LineWriter& out;
  std::string entry;
  std::string scratch;

  // Copies `count` entry lines from `in` as they are (escaped where needed).
  void copy_entries(LineReader& in, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
      in.read_entry(&entry);
      out.write_line(escape_merge_entry(entry, scratch));
    }
  }
  void skip_entries(LineReader& in, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) in.skip_entry();
  }
  void end_list() { out.write_line(kListTerminator); }
};

// A list count of an incoming record, read as stage 4 read it.
std::int64_t incoming_count(LineReader& in) { return std::max<std::int32_t>(in.read_count(), 0); }

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

void copy_stored_records(ImportRun& run, LineReader& stored, const ReadableFile* data, PositionedReader& exchange,
                         Merge& merge) {
  const Extensions extensions = extensions_of(run);
  const Database& db = run.db;
  for (std::int32_t n = 1; n <= db.record_count && merge.out.status().is_ok(); ++n) {
    stored.seek(record_start(db, n, data));
    for (const ListKind kind : kAllLists) {
      merge.copy_entries(stored, stored.read_list_count());
      if (kind != ListKind::lines) {
        merge.end_list();
        continue;
      }
      for (std::int32_t e = extensions.first[static_cast<std::size_t>(n)]; e >= 0;
           e = extensions.next[static_cast<std::size_t>(e)]) {
        IncomingRecord& record = run.incoming[static_cast<std::size_t>(e)];
        LineReader& incoming = exchange.at(record);
        merge.skip_entries(incoming, incoming_count(incoming));  // its triggers are those of record n
        merge.skip_entries(incoming, incoming_count(incoming));
        merge.copy_entries(incoming, incoming_count(incoming));
        record.status = kStatusIdentical;  // merged
      }
      merge.end_list();
    }
  }
}

void copy_new_records(const ImportRun& run, PositionedReader& exchange, Merge& merge) {
  for (const IncomingRecord& record : run.incoming) {
    if (record.status != kStatusNew || !merge.out.status().is_ok()) continue;
    LineReader& incoming = exchange.at(record);
    for (int list = 0; list < 3; ++list) {
      merge.copy_entries(incoming, incoming_count(incoming));
      merge.end_list();
    }
  }
}

}  // namespace

Status merge_records(ImportRun& run) {
  std::unique_ptr<ReadableFile> data;
  Status status = open_data_file(run.db, &data);
  std::unique_ptr<LineWriter> out;
  if (status.is_ok()) status = LineWriter::open(*run.db.env, run.files.merge, false, &out);
  if (!status.is_ok()) return status;

  LineReader stored(data.get());
  PositionedReader exchange(run.exchange.get());
  Merge merge{*out, {}, {}};
  copy_stored_records(run, stored, data.get(), exchange, merge);
  copy_new_records(run, exchange, merge);

  status = stored.status();
  if (status.is_ok()) status = exchange.status();
  // tempfile.tmp is read back by this same run only: it need not reach the
  // disk.
  const Status closed = out->close();
  if (status.is_ok()) status = closed;
  run.exchange_in.reset();
  run.exchange.reset();
  return status;
}

}  // namespace zenfaro
