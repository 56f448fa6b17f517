// Stage 8 of the import: the new data file tempfile2.tmp and the new index
// tempfile2.idx, rebuilt from the merge work file with every list cleared of
// the entries that repeat an earlier entry of the same list (byte for byte;
// the first occurrence stays in its place). Only the distinct entries of the
// list being rebuilt are held in memory.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/database_writer.h"
#include "core/line_reader.h"
#include "core/record_codec.h"
#include "exchange/import_stages.h"
#include "exchange/merge_work_file.h"

namespace zenfaro {
namespace {

// The distinct entries of one list, in the order of their first occurrence.
// They are kept one after another in one buffer, found again through an
// open-addressing table of their positions: no allocation per entry.
class DistinctEntries {
 public:
  // Keeps `entry` unless an equal one is kept already; true when kept.
  bool add(std::string_view entry) {
    if ((kept_.size() + 1) * 2 > slots_.size()) grow();
    std::size_t slot = std::hash<std::string_view>()(entry) & (slots_.size() - 1);
    for (; slots_[slot] != 0; slot = (slot + 1) & (slots_.size() - 1)) {
      if (at(slots_[slot] - 1) == entry) return false;
    }
    kept_.push_back({text_.size(), entry.size()});
    text_.append(entry);
    slots_[slot] = kept_.size();
    return true;
  }
  std::size_t size() const { return kept_.size(); }
  std::string_view at(std::size_t i) const { return std::string_view(text_).substr(kept_[i].first, kept_[i].second); }
  void clear() {
    text_.clear();
    kept_.clear();
    // A table grown for one long list is not carried on to the next ones.
    if (slots_.size() > 1024) slots_.assign(16, 0);
    std::fill(slots_.begin(), slots_.end(), 0);
  }

 private:
  void grow() {
    slots_.assign(std::max<std::size_t>(16, slots_.size() * 2), 0);
    for (std::size_t i = 0; i < kept_.size(); ++i) {
      std::size_t slot = std::hash<std::string_view>()(at(i)) & (slots_.size() - 1);
      while (slots_[slot] != 0) slot = (slot + 1) & (slots_.size() - 1);
      slots_[slot] = i + 1;
    }
  }

  std::string text_;
  std::vector<std::pair<std::size_t, std::size_t>> kept_;  // start and length in text_
  std::vector<std::size_t> slots_;                         // entry number + 1, or 0
};

// tempfile.tmp holds exactly the records the merge wrote, unless something
// else changed it meanwhile.
Status work_file_changed() {
  return Status::io_error("The merge work file tempfile.tmp was changed while the import ran.");
}

struct Rebuild {
  LineReader& in;
  DatabaseWriter& out;
  DistinctEntries distinct;
  std::string scratch;

  // Reads one list group (up to its terminator) and writes the list. Of
  // the entries from position `from` on, *added counts those kept.
  Status list(std::int32_t record, std::int64_t from, std::int64_t* added) {
    distinct.clear();
    for (std::int64_t position = 0;; ++position) {
      if (in.at_end()) return work_file_changed();
      const std::string_view line = in.read_entry_view(scratch);
      if (line == kListTerminator) break;
      if (distinct.add(unescape_merge_entry(line)) && position >= from) ++*added;
      if (static_cast<std::int64_t>(distinct.size()) > kMaxListEntries) {
        return Status::refused("Record " + std::to_string(record) + " would hold a list of more than " +
                               std::to_string(kMaxListEntries) + " different entries. Nothing was imported.");
      }
    }
    write_list_with(out.data(), distinct.size(), [this](std::size_t i) { return distinct.at(i); });
    return Status::ok();
  }
};

Status rebuild_records(ImportRun& run, LineReader& in, DatabaseWriter& out) {
  Rebuild rebuild{in, out, {}, {}};
  const std::int32_t expected = run.summary.merged;
  auto extended = run.extended_own_lines.begin();
  while (!in.at_end() && out.status().is_ok()) {
    if (out.records() == expected) return work_file_changed();
    tell_record_progress(run.progress, ExchangeStage::rebuilding, static_cast<std::uint64_t>(out.records()),
                         static_cast<std::uint64_t>(expected));
    Status status = out.begin_record();
    if (!status.is_ok()) return status.with_more(" Nothing was imported.");
    const std::int32_t record = out.records();
    // The commentary lines of an extended record count from its own last line.
    const bool is_extended = extended != run.extended_own_lines.end() && extended->first == record;
    std::int64_t added = 0;
    for (const ListKind kind : kAllLists) {
      const std::int64_t from = kind == ListKind::lines && is_extended ? extended->second : INT64_MAX;
      status = rebuild.list(record, from, &added);
      if (!status.is_ok()) return status;
    }
    if (is_extended) {
      run.summary.extended.push_back({record, static_cast<std::int32_t>(added)});
      ++extended;
    }
  }
  if (!in.status().is_ok()) return in.status();
  if (out.records() != expected && out.status().is_ok()) return work_file_changed();
  return out.status();
}

}  // namespace

Status rebuild_database(ImportRun& run) {
  Env& env = *run.db.env;
  std::unique_ptr<ReadableFile> merged;
  Status status = env.open_readable(run.files.merge, &merged);
  std::unique_ptr<DatabaseWriter> out;
  if (status.is_ok()) status = DatabaseWriter::open(env, run.files.new_data, run.files.new_index, &out);
  if (!status.is_ok()) return status;
  run.wrote_new_files = true;
  LineReader in(merged.get());
  status = rebuild_records(run, in, *out);
  // The new files become the database: they must be whole on the disk
  // before anything is moved.
  if (status.is_ok()) return out->finish();
  out->abandon();
  return status;
}

}  // namespace zenfaro
