#pragma once
// Finding the entries that contain a text: in the stored records (for the
// command line) and, for the window, in the stored records with the record on
// screen taken as it is shown, unsaved changes included.
//
// A match is named by its record number, its list and its display position:
// the position the window shows it at, which in the two sorted lists is its
// place after they are sorted (letter case ignored, equal entries in stored
// order), and which `show`, `modify` and `remove` of the command line use.
// Matches are ordered by record, then list (triggers, exclusion triggers,
// commentary lines), then position.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>

#include "core/database.h"
#include "core/record.h"
#include "core/status.h"

namespace zenfaro {

class EditorModel;

struct FindQuery {
  std::string text;              // Windows-1252 bytes; an empty text matches nothing
  std::optional<ListKind> list;  // the one list searched, or nothing for all three
  bool match_case = false;       // otherwise letters compare as the sorted lists compare them
};

struct FindHit {
  std::int32_t record = 0;
  ListKind list = ListKind::triggers;
  std::size_t position = 0;

  friend bool operator<(const FindHit& a, const FindHit& b) {
    return std::tie(a.record, a.list, a.position) < std::tie(b.record, b.list, b.position);
  }
  friend bool operator==(const FindHit& a, const FindHit& b) {
    return std::tie(a.record, a.list, a.position) == std::tie(b.record, b.list, b.position);
  }
};

// Whether an entry contains the query's text (Horspool's search over bytes
// folded to small letters, or unfolded with match_case).
class TextMatcher {
 public:
  explicit TextMatcher(const FindQuery& query);
  TextMatcher(const TextMatcher&) = delete;
  TextMatcher& operator=(const TextMatcher&) = delete;

  bool matches(std::string_view entry) const { return find(entry) != std::string_view::npos; }
  // The byte offset of the first match in `entry`, or npos.
  std::size_t find(std::string_view entry) const;

 private:
  std::array<unsigned char, 256> fold_{};
  std::array<std::size_t, 256> skip_{};
  std::string folded_text_;
};

// The record on screen: its number and its lists as shown. Its lists take the
// place of the stored record of that number (or follow the stored records
// when the number is beyond them). A number below 1 stands for no record.
struct ShownRecord {
  std::int32_t number = 0;
  const Record* lists = nullptr;
};

// Calls `visit` with every match and its entry, in order; `visit` returns
// false to stop. The stored records are read in one pass over the data file;
// a record that cannot be read counts as empty. Returns the first read error.
// The caller holds one state of the database (read_one_state).
Status for_each_match(const Database& db, const FindQuery& query, const ShownRecord& shown,
                      const std::function<bool(const FindHit&, const Entry&)>& visit);

enum class FindDirection { next, previous };

// The first match after `from` (next) or the last one before it (previous),
// wrapping around the ends; `from` itself comes last. Nothing when nothing
// matches. The stored records are those of one state of the files as they
// stand (read_one_state). `*went_round` (when given) tells whether the match
// was found only by going round the end (or the start).
std::optional<FindHit> find_from(Database& db, const FindQuery& query, const ShownRecord& shown, const FindHit& from,
                                 FindDirection direction, bool* went_round = nullptr);

// Find Next and Find Previous of the window. The search starts at
// `last_hit` when it lies in the record on screen (so that repeated searches
// step through that record's matches), otherwise right after (next) or before
// (previous) the record on screen.
std::optional<FindHit> find_in_editor(EditorModel& model, const FindQuery& query, FindDirection direction,
                                      const std::optional<FindHit>& last_hit, bool* went_round = nullptr);

}  // namespace zenfaro
