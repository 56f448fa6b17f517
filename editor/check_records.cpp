#include "editor/check_records.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "core/line_reader.h"
#include "core/record_codec.h"
#include "editor/collation.h"
#include "exchange/fingerprint.h"

namespace zenfaro {
namespace {

const char* list_words(ListKind kind) {
  switch (kind) {
    case ListKind::triggers: return "triggers";
    case ListKind::exclusions: return "exclusion triggers";
    case ListKind::lines: return "commentary lines";
  }
  return "";
}

std::string number(std::int64_t value) { return std::to_string(value); }

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// An entry inside a finding's text: quoted, on one line (a line feed and a
// tab shown as \n and \t), and cut after 60 bytes.
std::string quoted_entry(std::string_view entry) {
  constexpr std::size_t kShown = 60;
  std::string text = "\"";
  for (std::size_t i = 0; i < entry.size() && i < kShown; ++i) {
    if (entry[i] == '\n') {
      text += "\\n";
    } else if (entry[i] == '\t') {
      text += "\\t";
    } else {
      text += entry[i];
    }
  }
  return text + (entry.size() > kShown ? "...\"" : "\"");
}

// FNV-1a over the two trigger lists, each entry with its length before it,
// so that ("ab", "c") and ("a", "bc") hash apart.
class ListsHash {
 public:
  void feed(std::string_view bytes) {
    for (const char byte : bytes) mix(static_cast<unsigned char>(byte));
  }
  void feed_entry(std::string_view entry) {
    for (std::uint64_t size = entry.size(), i = 0; i < 8; ++i, size >>= 8) mix(size & 0xFF);
    feed(entry);
  }
  std::uint64_t value() const { return hash_; }

 private:
  void mix(std::uint64_t byte) { hash_ = (hash_ ^ byte) * 0x100000001b3ull; }
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

class RecordChecker {
 public:
  RecordChecker(const FindingKinds& kinds, const std::function<void(const Finding&)>& found)
      : kinds_(kinds), found_(found) {}

  bool wants(FindingKind kind) const { return kinds_.empty() || kinds_.count(kind) != 0; }
  // False when only the index is checked: the records need not be read.
  bool reads_records() const { return kinds_.empty() || kinds_.size() > 1 || !wants(FindingKind::index); }

  void check(std::int64_t k, LineReader& in) {
    pending_.clear();
    const bool whole = read(k, in);
    if (whole && record_.empty()) add({FindingKind::empty_record, k, {}, {}, "all three lists are empty"});
    if (whole) {
      for (const ListKind kind : kAllLists) check_entries(k, kind);
    }
    // Those about the whole record first, then by list and position.
    std::stable_sort(pending_.begin(), pending_.end(), [](const Finding& a, const Finding& b) {
      return std::tie(a.list, a.position) < std::tie(b.list, b.position);  // nothing sorts first
    });
    for (const Finding& finding : pending_) found_(finding);
  }

 private:
  void add(Finding finding) {
    if (wants(finding.kind)) pending_.push_back(std::move(finding));
  }

  // Reads record k into record_, reporting damage. False when the record is
  // shown empty (a list beyond a list's capacity).
  bool read(std::int64_t k, LineReader& in) {
    Fingerprints fingerprints;
    ListsHash hash;
    bool cut = false;
    bool whole = true;
    for (const ListKind kind : kAllLists) {
      EntryList& list = record_.list(kind);
      list.clear();
      if (!cut && in.at_end()) {
        cut = true;
        add({FindingKind::damaged,
             k,
             kind,
             {},
             std::string("the data file ends before the count of its ") + list_words(kind)});
      }
      const std::int64_t count = in.read_list_count();
      if (count > kMaxListEntries) {
        whole = false;
        add({FindingKind::damaged,
             k,
             kind,
             {},
             std::string("its list of ") + list_words(kind) + " announces " + number(count) +
                 " entries, more than a list can hold (" + number(kMaxListEntries) +
                 "), so the record is shown empty and cannot be changed"});
      }
      for (std::int64_t i = 0; i < count && !cut; ++i) {
        if (in.at_end()) {
          cut = true;
          add({FindingKind::damaged,
               k,
               kind,
               {},
               std::string("the data file ends inside it: its list of ") + list_words(kind) + " announces " +
                   number(count) + " entries and holds " + number(i) + ", the rest read as empty"});
          break;  // the missing entries read as empty ones, which change no fingerprint
        }
        const std::string_view entry = in.read_entry_view(scratch_);
        fingerprints.feed(kind, entry);
        if (kind != ListKind::lines) hash.feed_entry(entry);
        if (count <= kMaxListEntries) list.emplace_back(entry);
      }
      hash.feed("|");
    }
    check_identity(k, fingerprints.trigger, hash.value());
    return whole;
  }

  // The import extends the first stored record with a trigger fingerprint.
  void check_identity(std::int64_t k, std::uint32_t fingerprint, std::uint64_t lists) {
    if (!wants(FindingKind::same_identity) || k > kMaxRecords) return;
    const auto [first, added] = first_.try_emplace(fingerprint, k, lists);
    if (added) return;
    const std::string earlier = number(first->second.first);
    add({FindingKind::same_identity,
         k,
         {},
         {},
         first->second.second == lists ? "it has the same triggers and exclusion triggers as record " + earlier +
                                             ", so an import only ever extends record " + earlier
                                       : "its triggers and exclusion triggers differ from those of record " + earlier +
                                             " but give the same fingerprint, so an import takes both for record " +
                                             earlier + " and only ever extends that one"});
  }

  void check_entries(std::int64_t k, ListKind kind) {
    const EntryList& list = record_.list(kind);
    std::vector<std::size_t> order;
    if (kind == ListKind::lines) {
      order.resize(list.size());
      std::iota(order.begin(), order.end(), std::size_t{0});
    } else {
      order = sorted_order(list);
    }
    seen_.clear();
    for (std::size_t position = 0; position < order.size(); ++position) {
      const std::string_view entry = list[order[position]];
      if (entry.find('\0') != std::string_view::npos) {
        add({FindingKind::damaged, k, kind, position,
             "the entry holds a NUL byte: the next save keeps only what stands before it"});
      } else if (entry.size() > kMaxEntryBytes) {
        add({FindingKind::damaged, k, kind, position,
             "the entry holds " + number(static_cast<std::int64_t>(entry.size())) + " bytes, more than an entry can (" +
                 number(kMaxEntryBytes) + "): the next save keeps only the first " + number(kMaxEntryBytes)});
      }
      const auto [first, added] = seen_.try_emplace(entry, position);
      if (!added) {
        add({FindingKind::duplicate_entry, k, kind, position,
             "repeats the entry at position " + number(static_cast<std::int64_t>(first->second)) + ": " +
                 quoted_entry(entry)});
      }
      const bool at_start = !entry.empty() && is_blank(entry.front());
      const bool at_end = !entry.empty() && is_blank(entry.back());
      if (at_start || at_end) {
        const bool only = std::all_of(entry.begin(), entry.end(), is_blank);
        add({FindingKind::blanks, k, kind, position,
             "the entry " + quoted_entry(entry) +
                 (only                 ? " is nothing but blanks"
                  : at_start && at_end ? " has blanks at both ends"
                  : at_start           ? " has blanks at its start"
                                       : " has blanks at its end")});
      }
    }
  }

  const FindingKinds& kinds_;
  const std::function<void(const Finding&)>& found_;
  Record record_;
  std::string scratch_;
  std::vector<Finding> pending_;
  std::unordered_map<std::string_view, std::size_t> seen_;
  // The first record with each trigger fingerprint, with its lists' hash.
  std::unordered_map<std::uint32_t, std::pair<std::int64_t, std::uint64_t>> first_;
};

}  // namespace

DatabaseCheck check_records(const Database& db, const FindingKinds& kinds,
                            const std::function<void(const Finding&)>& found, Status* error) {
  RecordChecker checker(kinds, found);
  CheckWalk walk;
  if (checker.wants(FindingKind::index)) walk.found = found;
  if (checker.reads_records()) walk.read = [&checker](std::int64_t k, LineReader& in) { checker.check(k, in); };
  return check_database(db, error, walk);
}

}  // namespace zenfaro
