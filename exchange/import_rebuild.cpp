// Stage 8 of the import: the new data file tempfile2.tmp and the new index
// tempfile2.idx, rebuilt from the merge work file with every list cleared of
// the entries that repeat an earlier entry of the same list (byte for byte;
// the first occurrence stays in its place). Only the distinct entries of the
// list being rebuilt are held in memory.
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/line_reader.h"
#include "core/line_writer.h"
#include "exchange/import_run.h"
#include "exchange/merge_work_file.h"

namespace zenfaro {
namespace {

constexpr std::uint64_t kMaxOffset = std::numeric_limits<std::int32_t>::max();

// The distinct entries of one list, in the order of their first occurrence.
class DistinctEntries {
 public:
  // Keeps `entry` unless an equal one is kept already.
  void add(std::string&& entry) {
    const auto [it, inserted] = seen_.insert(std::move(entry));
    if (inserted) kept_.push_back(&*it);  // set nodes never move
  }
  std::size_t size() const { return kept_.size(); }
  const std::vector<const std::string*>& in_order() const { return kept_; }
  void clear() {
    seen_.clear();
    kept_.clear();
  }

 private:
  std::unordered_set<std::string> seen_;
  std::vector<const std::string*> kept_;
};

// tempfile.tmp holds exactly the records the merge wrote, unless something
// else changed it meanwhile.
Status work_file_changed() {
  return Status::io_error("The merge work file tempfile.tmp was changed while the import ran.");
}

// Reads one list group (up to its terminator) and writes the list.
Status rebuild_list(LineReader& in, LineWriter& data, DistinctEntries& distinct, std::int32_t record) {
  distinct.clear();
  std::string line;
  for (;;) {
    if (in.at_end()) return work_file_changed();
    in.read_entry(&line);
    if (line == kListTerminator) break;
    unescape_merge_entry(line);
    distinct.add(std::move(line));
    if (distinct.size() > kMaxDistinctListEntries) {
      return Status::refused("Record " + std::to_string(record) + " would hold a list of more than " +
                             std::to_string(kMaxDistinctListEntries) + " different entries. Nothing was imported.");
    }
  }
  data.write_count(static_cast<std::int64_t>(distinct.size()));
  for (const std::string* entry : distinct.in_order()) data.write_line(*entry);
  return Status::ok();
}

Status rebuild_records(LineReader& in, LineWriter& data, LineWriter& index, std::int32_t expected) {
  DistinctEntries distinct;
  std::int32_t records = 0;
  while (!in.at_end() && data.status().is_ok() && index.status().is_ok()) {
    if (records == expected) return work_file_changed();
    if (data.bytes_written() > kMaxOffset) {
      return Status::refused("The new database file would grow beyond 2 GB. Nothing was imported.");
    }
    ++records;
    index.write_int32(static_cast<std::int32_t>(data.bytes_written()));
    for (int list = 0; list < 3; ++list) {
      Status status = rebuild_list(in, data, distinct, records);
      if (!status.is_ok()) return status;
    }
  }
  if (!in.status().is_ok()) return in.status();
  if (records != expected && data.status().is_ok() && index.status().is_ok()) return work_file_changed();
  return Status::ok();
}

}  // namespace

Status rebuild_database(ImportRun& run) {
  Env& env = *run.db.env;
  std::unique_ptr<ReadableFile> merged;
  Status status = env.open_readable(run.files.merge, &merged);
  std::unique_ptr<LineWriter> data;
  std::unique_ptr<LineWriter> index;
  if (status.is_ok()) status = LineWriter::open(env, run.files.new_data, false, &data);
  if (status.is_ok()) status = LineWriter::open(env, run.files.new_index, false, &index);
  if (status.is_ok()) {
    LineReader in(merged.get());
    status = rebuild_records(in, *data, *index, run.summary.merged);
  }
  // The new files become the database: they must be whole on the disk
  // before anything is moved.
  for (LineWriter* writer : {data.get(), index.get()}) {
    if (writer == nullptr) continue;
    const Status finished = status.is_ok() ? writer->finish() : writer->close();
    if (status.is_ok()) status = finished;
  }
  return status;
}

}  // namespace zenfaro
