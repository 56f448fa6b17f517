// Two views of one database folder, the window's model beside another program's (which changes records as the
// command line does): every interleaving of short sequences of their operations keeps one set of invariants.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "editor/editor_model.h"
#include "editor/exchange_commands.h"
#include "editor/find.h"
#include "tests/support/stored_records.h"

namespace zenfaro {
namespace {

using namespace testing;
constexpr ListKind kLines = ListKind::lines;
const FindQuery kFind{"1", std::nullopt, false};

// The user of the window: Yes to the delete and import confirmations; to a changed record's question the run's
// answer (0 save as new, 1 replace, 2 cancel; Yes to deleting it unless cancel).
class User final : public Prompt {
 public:
  explicit User(std::size_t answer) : answer_(answer) {}
  int asked = 0;           // changed-record questions so far
  bool cancelled = false;  // the last one was answered with cancel (or No)

  bool ask(const Question& question) override {
    if (question.caption != "Record changed") return true;
    ++asked;
    cancelled = answer_ == 2;
    return !cancelled;
  }
  std::size_t choose(const Question& question) override {
    ++asked;
    const std::size_t given = std::min(answer_, question.answers.size() - 1);
    cancelled = given + 1 == question.answers.size();
    return given;
  }
  void tell(const Message&) override {}
  std::optional<std::string> choose_file(const FileRequest&) override { return std::nullopt; }

 private:
  std::size_t answer_;
};

// What a change by the other program leaves: add "a" to record 2's lines, modify its first line, delete record 1
// (before the window's), import one new record. Nothing when it is refused.
Records other_change(char op, Records records, const std::string& token) {
  const bool two = records.size() >= 2;
  switch (op) {
    case 'A':
      if (two) records[1].list(kLines).push_back(token);
      else records.push_back(make_record({}, {}, {token}));
      break;
    case 'M':
      if (two && !records[1].list(kLines).empty()) records[1].list(kLines)[0] = token;
      break;
    case 'D':
      if (!records.empty()) records.erase(records.begin());
      break;
    case 'I': records.push_back(make_record({token}, {}, {"imported"})); break;
  }
  return records;
}

struct TwoViews {
  explicit TwoViews(std::size_t answer) : user(answer) {
    folder.store(numbered(4));
    window.open();
    window.set_record_text("2");
    shown = at(stored_records(folder), 2);
    other.open(false);
  }
  // One operation of either view; `*result` is what it returned, where it returns something.
  void run(char op, const std::string& token, bool* result, std::optional<FindHit>* found) {
    switch (op) {
      case 'e': *result = window.add_entry(kLines, token); break;
      case 's': *result = window.save_record(); break;
      case 'n': window.step(+1); break;
      case 'd': window.delete_record(); break;
      case 'x': *result = export_records(window, folder.work("out.CMX").u8string()).done; break;
      case 'f': *found = find_in_editor(window, kFind, FindDirection::next, {}); break;
      case 'w': window.follow_outside_change(); break;
      case 'I':
        write_bytes(folder.work("in.CMX"), exchange_of({make_record({token}, {}, {"imported"})}));
        other_prompt.answers = {true};
        *result = import_records(other, folder.work("in.CMX").u8string()).result == ImportResult::completed;
        break;
      default: {  // the command line's add, modify and delete, applied to the record as it stands
        const std::int32_t n = op == 'D' ? 1 : 2;
        const WriteMode mode = op == 'D' ? WriteMode::remove : WriteMode::save;
        *result = other.change_stored(n, mode, [&] {
          if (op == 'A') return other.add_entry(kLines, token);
          if (op == 'M') return other.list(kLines).size() > 0 && other.modify_entry(kLines, 0, token);
          return n <= other.record_count();
        });
      }
    }
  }

  DatabaseFolder folder;
  FaultyEnv other_env;  // saves without waiting for the disk, as the window's
  User user;
  ScriptedPrompt other_prompt;
  EditorModel window{folder.env, folder.layout(), user};
  EditorModel other{other_env, folder.layout(), other_prompt};
  Record shown;            // what the window showed (or last wrote) at its number, as the test saw it
  bool ask_again = false;  // a save was cancelled, and nothing changed since
};

// Whether `after` is `before` with at most what the window may write without asking: its lists over the one
// record that holds what it showed (or that record removed, for a delete), or appended when it showed none.
bool wrote_only_over_what_it_showed(const Records& before, const Records& after, const Record& shown,
                                    const Record& lists, bool deleting) {
  if (after == before) return true;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] != shown) continue;
    Records expected = before;
    if (deleting) expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(i));
    else expected[i] = lists;
    if (after == expected) return true;
  }
  Records appended = before;
  appended.push_back(lists);
  return !deleting && shown.empty() && after == appended;
}

// Whether `after` is what the user's answer asked for: the window's lists as record n (appended beyond the
// records), or record n removed, or the lists appended as a new record.
bool wrote_as_answered(const Records& before, const Records& after, std::int32_t n, const Record& lists,
                       bool deleting) {
  Records placed = before, appended = before;
  appended.push_back(lists);
  if (n > static_cast<std::int32_t>(before.size())) placed = appended;
  else if (deleting) placed.erase(placed.begin() + (n - 1));
  else placed[static_cast<std::size_t>(n - 1)] = lists;
  return after == placed || (!deleting && after == appended);
}

// What the window was before an operation.
struct Before {
  Records records;
  Record lists;
  std::int32_t number = 0;
  int asked = 0;
};

// The one invariant check, after each operation `op` of a run.
void check_step(TwoViews& v, char op, const std::string& token, const Before& b, const Records& after, bool result,
                const std::optional<FindHit>& found) {
  EditorModel& w = v.window;
  const Records& before = b.records;
  const Record& lists = b.lists;
  const bool asked = v.user.asked > b.asked;
  const std::int32_t n = w.current_record();
  if (std::isupper(static_cast<unsigned char>(op))) {
    // A change that was reported stored is stored, as it stands in the records it found.
    EXPECT_EQ(after, result ? other_change(op, before, token) : before);
    v.ask_again = false;
    return;
  }
  // Nothing the window did not show is written over without the user's answer, and then only as answered.
  EXPECT_TRUE(asked
                  ? (v.user.cancelled ? after == before : wrote_as_answered(before, after, b.number, lists, op == 'd'))
                  : wrote_only_over_what_it_showed(before, after, v.shown, lists, op == 'd'));
  // After a cancel, the next write asks again (unless the lists are stored as they are: nothing to write).
  const bool writes = !lists.empty() && (op == 's' || op == 'd' || (lists != v.shown && (op == 'n' || op == 'x')));
  EXPECT_TRUE(asked || !v.ask_again || !writes || at(before, b.number) == lists);
  if (asked) v.ask_again = v.user.cancelled;
  // A save reported done stored the lists on screen at the window's number.
  EXPECT_TRUE(op != 's' || !result || lists.empty() || at(after, n) == lists);
  // An export or a find is of one committed state, the one the operation left, as a fresh view of it finds it.
  EXPECT_TRUE(op != 'x' || !result || read_bytes(v.folder.work("out.CMX")) == exchange_of(after));
  const Record shown = w.working_record();
  const auto fresh_find = [&] {
    Database fresh = v.folder.fresh();
    return find_from(fresh, kFind, ShownRecord{n, &shown}, {n, kLines, SIZE_MAX}, FindDirection::next);
  };
  EXPECT_TRUE(op != 'f' || found == fresh_find());
  // The window follows the files when nothing of the user's is on screen.
  EXPECT_TRUE(op != 'w' || lists != v.shown || shown == at(after, n));
  if (w.pending() == 0 && w.working_record() == at(after, n) && v.shown != w.working_record()) {
    v.shown = w.working_record();
    v.ask_again = false;
  }
}

// The window's operations, then the other program's.
const std::string kOperations = "esndxfwAMDI";

// Every interleaving of a sequence of the window's operations with one of the other program's, three operations at
// most and both views in each (and each operation alone).
std::vector<std::string> interleavings() {
  std::vector<std::string> words{""};
  for (std::size_t begin = 0, length = 1; length <= 3; ++length) {
    const std::size_t end = words.size();
    for (std::size_t i = begin; i < end; ++i)
      for (const char op : kOperations) words.push_back(words[i] + op);
    begin = end;
  }
  const auto both_views = [](const std::string& word) {
    const auto other = std::count_if(word.begin(), word.end(), [](char op) { return std::isupper(op) != 0; });
    return word.size() == 1 || (other > 0 && other < static_cast<long>(word.size()));
  };
  words.erase(std::remove_if(words.begin(), words.end(), [&](const std::string& w) { return !both_views(w); }),
              words.end());
  return words;
}

// One generator, one invariant check; the runs are shared out by their first operation, each answered with one of
// the three answers in turn.
class Interleavings : public ::testing::TestWithParam<char> {};

TEST_P(Interleavings, KeepWhatWasStoredAndAskBeforeWritingOverIt) {
  const std::vector<std::string> words = interleavings();
  for (std::size_t w = 0; w < words.size(); ++w) {
    const std::string& word = words[w];
    if (word[0] != GetParam()) continue;
    SCOPED_TRACE(word + " answered " + std::to_string(w % 3));
    TwoViews views(w % 3);
    Records records = stored_records(views.folder);
    for (std::size_t i = 0; i < word.size(); ++i) {
      const std::string token = std::string(1, static_cast<char>(std::tolower(word[i]))) + std::to_string(i);
      const Before before{records, views.window.working_record(), views.window.current_record(), views.user.asked};
      bool result = false;
      std::optional<FindHit> found;
      views.run(word[i], token, &result, &found);
      records = stored_records(views.folder);
      check_step(views, word[i], token, before, records, result, found);
      if (::testing::Test::HasFailure()) return;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FirstOperation, Interleavings, ::testing::ValuesIn(kOperations.begin(), kOperations.end()),
                         [](const ::testing::TestParamInfo<char>& info) {
                           return std::string(std::isupper(info.param) ? "other_" : "window_") + info.param;
                         });

}  // namespace
}  // namespace zenfaro
