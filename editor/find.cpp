#include "editor/find.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "core/database_state.h"
#include "core/record_codec.h"
#include "editor/collation.h"
#include "editor/editor_model.h"

namespace zenfaro {
namespace {

// The display position of each stored position of a sorted list: its place
// after a stable sort, letter case ignored.
std::vector<std::size_t> sorted_positions(const EntryList& entries) {
  const std::vector<std::size_t> order = sorted_order(entries);
  std::vector<std::size_t> position(entries.size());
  for (std::size_t shown = 0; shown < order.size(); ++shown) position[order[shown]] = shown;
  return position;
}

// Visits the matches of one record. `stored_order` is true for a record as
// the data file holds it, false for lists already in display order.
class RecordMatcher {
 public:
  RecordMatcher(const FindQuery& query, const std::function<bool(const FindHit&, const Entry&)>& visit)
      : query_(query), matcher_(query), visit_(visit) {}

  bool searches(ListKind kind) const { return !query_.list || *query_.list == kind; }

  // False when the visitor asked to stop.
  bool visit(std::int32_t record, const Record& lists, bool stored_order) {
    for (ListKind kind : kAllLists) {
      if (!searches(kind)) continue;
      const EntryList& entries = lists.list(kind);
      matched_.clear();
      for (std::size_t i = 0; i < entries.size(); ++i) {
        if (matcher_.matches(entries[i])) matched_.push_back({i, i});
      }
      if (matched_.empty()) continue;
      if (stored_order && kind != ListKind::lines) {
        const std::vector<std::size_t> shown = sorted_positions(entries);
        for (auto& [position, stored] : matched_) position = shown[stored];
        std::sort(matched_.begin(), matched_.end());
      }
      for (const auto& [position, stored] : matched_) {
        if (!visit_({record, kind, position}, entries[stored])) return false;
      }
    }
    return true;
  }

 private:
  const FindQuery& query_;
  TextMatcher matcher_;
  const std::function<bool(const FindHit&, const Entry&)>& visit_;
  std::vector<std::pair<std::size_t, std::size_t>> matched_;  // display position, stored position
};

// Fills the searched lists of a record as it streams by, reusing their
// strings; the other lists are passed over. A record with a list beyond a
// list's capacity is damaged: it is shown empty, so it is searched empty.
struct SearchedLists : RecordVisitor {
  const RecordMatcher* matcher = nullptr;
  Record* record = nullptr;
  std::size_t filled = 0;
  bool damaged = false;
  void count(ListKind kind, std::int64_t count) {
    damaged = damaged || count > kMaxListEntries;
    keep = matcher->searches(kind) && !damaged ? std::numeric_limits<std::size_t>::max() : 0;
    filled = 0;
  }
  void entry(ListKind kind, std::string_view text) {
    if (keep == 0) return;
    EntryList& entries = record->list(kind);
    if (filled == entries.size()) entries.emplace_back();
    entries[filled++].assign(text);
  }
  void end(ListKind kind) { record->list(kind).resize(keep != 0 ? filled : 0); }
};

}  // namespace

TextMatcher::TextMatcher(const FindQuery& query) {
  for (int c = 0; c < 256; ++c) {
    fold_[c] = query.match_case ? static_cast<unsigned char>(c) : fold_case(static_cast<unsigned char>(c));
  }
  for (const char c : query.text) folded_text_ += static_cast<char>(fold_[static_cast<unsigned char>(c)]);
  // Horspool's shift: how far the text may move when the byte under its
  // last position is c.
  const std::size_t m = folded_text_.size();
  skip_.fill(m);
  for (std::size_t i = 0; i + 1 < m; ++i) skip_[static_cast<unsigned char>(folded_text_[i])] = m - 1 - i;
}

std::size_t TextMatcher::find(std::string_view entry) const {
  const std::size_t m = folded_text_.size();
  if (m == 0 || m > entry.size()) return std::string_view::npos;
  const auto* bytes = reinterpret_cast<const unsigned char*>(entry.data());
  const auto* text = reinterpret_cast<const unsigned char*>(folded_text_.data());
  for (std::size_t at = 0; at + m <= entry.size();) {
    const unsigned char last = fold_[bytes[at + m - 1]];
    if (last == text[m - 1]) {
      std::size_t i = 0;
      while (i + 1 < m && fold_[bytes[at + i]] == text[i]) ++i;
      if (i + 1 == m) return at;
    }
    at += skip_[last];
  }
  return std::string_view::npos;
}

Status for_each_match(const Database& db, const FindQuery& query, const ShownRecord& shown,
                      const std::function<bool(const FindHit&, const Entry&)>& visit) {
  RecordMatcher matcher(query, visit);
  if (query.text.empty()) return Status::ok();
  const Record empty;
  const Record& shown_lists = shown.lists != nullptr ? *shown.lists : empty;

  Record stored;
  bool go_on = true;
  const Status status = walk_records(db, 1, db.record_count, [&](std::int32_t n, LineReader& in) {
    if (n == shown.number) return go_on = matcher.visit(n, shown_lists, false);
    SearchedLists lists;
    lists.matcher = &matcher;
    lists.record = &stored;
    read_record_with(in, lists);
    if (lists.damaged) stored = Record{};
    return go_on = matcher.visit(n, stored, true);
  });
  if (go_on && shown.number > db.record_count) matcher.visit(shown.number, shown_lists, false);
  return status;
}

std::optional<FindHit> find_from(Database& db, const FindQuery& query, const ShownRecord& shown, const FindHit& from,
                                 FindDirection direction, bool* went_round) {
  std::optional<FindHit> first;  // in the direction of the search, from either end
  std::optional<FindHit> found;
  // A record that cannot be read is searched as empty.
  read_one_state(db, [&] {
    first.reset();
    found.reset();
    return for_each_match(db, query, shown, [&](const FindHit& hit, const Entry&) {
      if (direction == FindDirection::next) {
        if (!first) first = hit;
        if (from < hit) {
          found = hit;
          return false;
        }
      } else {
        first = hit;  // the last one so far
        if (hit < from) found = hit;
      }
      return true;
    });
  }).ignore_error();
  if (went_round != nullptr) *went_round = !found && first;
  return found ? found : first;
}

std::optional<FindHit> find_in_editor(EditorModel& model, const FindQuery& query, FindDirection direction,
                                      const std::optional<FindHit>& last_hit, bool* went_round) {
  const std::int32_t number = model.current_record();
  const Record lists = model.working_record();
  // Right after the record's last possible entry, or right before its first.
  const bool next = direction == FindDirection::next;
  FindHit from{number, next ? ListKind::lines : ListKind::triggers, next ? std::numeric_limits<std::size_t>::max() : 0};
  if (last_hit && last_hit->record == number) from = *last_hit;
  return find_from(model.mutable_database(), query, ShownRecord{number, &lists}, from, direction, went_round);
}

}  // namespace zenfaro
