#include "editor/changed_record.h"

#include "core/cp1252.h"
#include "editor/working_list.h"

namespace zenfaro {
namespace {

const char* const kCaption = "Record changed";

// A record's lists as the window would show them (the trigger lists sorted).
WorkingList shown_list(const Record& record, ListKind kind) {
  WorkingList list(kind != ListKind::lines);
  list.assign(record.list(kind));
  return list;
}

// "begins with the trigger "goal"", or "has no trigger".
std::string first_trigger(const Record& record) {
  const WorkingList triggers = shown_list(record, ListKind::triggers);
  return triggers.empty() ? "has no trigger" : "begins with the trigger \"" + cp1252_to_utf8(triggers.at(0)) + "\"";
}

// How `now` stands at record n: what the question's details show.
std::string version_text(std::int32_t n, const Record& now) {
  const char* const titles[] = {"Triggers", "Exclusion triggers", "Commentary lines"};
  std::string text = "Record " + std::to_string(n) + " as another program left it:\n";
  for (ListKind kind : kAllLists) {
    const WorkingList list = shown_list(now, kind);
    text += std::string(titles[static_cast<int>(kind)]) + " (" + std::to_string(list.size()) + "):\n";
    for (const Entry& entry : list.entries()) text += "  " + cp1252_to_utf8(entry) + "\n";
  }
  return text;
}

std::string changed_text(std::int32_t n, const Record& now, bool was_new) {
  const std::string number = std::to_string(n);
  if (was_new) {
    return "Another program stored record " + number + " after a new record was begun here under that number; it " +
           first_trigger(now) + ".";
  }
  return "Record " + number + " was changed by another program after it was shown here; it now " + first_trigger(now) +
         ".";
}

}  // namespace

std::string deleted_gone_text(std::int32_t n, std::int32_t count) {
  return "Record " + std::to_string(n) +
         " no longer exists: another program changed the database after it was shown here (it now holds " +
         std::to_string(count) + " records).";
}

Question save_changed_question(std::int32_t n, const std::optional<Record>& now, std::int32_t count, bool was_new) {
  if (!now) {
    return {deleted_gone_text(n, count) +
                "\n\nSave the lists on screen as a new record, or cancel and keep them on screen unsaved?",
            kCaption,
            Icon::warning,
            false,
            {},
            {"Save as &New Record", "&Cancel"}};
  }
  const std::string number = std::to_string(n);
  return {changed_text(n, *now, was_new) + "\n\nSave the lists on screen as a new record, replace record " + number +
              " with them, or cancel and keep them on screen unsaved?",
          kCaption,
          Icon::warning,
          false,
          version_text(n, *now),
          {"Save as &New Record", "&Replace", "&Cancel"}};
}

Question delete_changed_question(std::int32_t n, const Record& now) {
  return {changed_text(n, now, false) + "\n\nDelete record " + std::to_string(n) + " as it stands now?", kCaption,
          Icon::warning, false, version_text(n, now)};
}

}  // namespace zenfaro
