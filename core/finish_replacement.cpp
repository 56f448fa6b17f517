// The finishing of a replacement that a journal shows was decided but cut
// short (see core/replace_files.h): acted on only while the files the
// journal names are as it wrote them down.
#include "core/replacement_steps.h"

namespace zenfaro {
namespace {

namespace fs = std::filesystem;
using namespace replacing;

const std::string kNotPutBack = " " + kInterrupted + "the database could not be put back as it was.";

// What a journal line's files show.
enum class State {
  pending,   // the new file is there as written, the old one at the target
  made,      // the new file stands at the target
  changed,   // the new file is there, but not as written
  mismatch,  // anything else
};

struct LineState {
  State state = State::mismatch;
  fs::path fresh;    // the new file
  fs::path culprit;  // the file that does not match, for the message
};

LineState state_of(Env& env, const Replacement& r, int target, const JournalLine& line) {
  LineState s;
  s.fresh = new_file_at(env, r, target, line.place);
  const fs::path old = target_file(r, target);
  s.culprit = old;
  if (s.fresh.empty()) return s;
  const FileInfo fresh = env.file_info(s.fresh);
  if (!fresh.present()) {
    if (holds(env, old, line.digest)) s.state = State::made;
    return s;
  }
  if (fresh.link || !fresh.exists || identity_of(env.file_info(old)) != line.replaced) {
    if (fresh.link || !fresh.exists) s.culprit = s.fresh;
    return s;
  }
  s.culprit = s.fresh;
  s.state = holds(env, s.fresh, line.digest) ? State::pending : State::changed;
  return s;
}

Status finish_forward(Env& env, const Replacement& r, const Journal& journal) {
  const fs::path journal_path = journal_file(r.folder);
  const LineState data = state_of(env, r, 0, journal.lines[0]);
  const LineState index = state_of(env, r, 1, journal.lines[1]);
  for (const LineState* s : {&data, &index}) {
    if (s->state == State::mismatch) return mismatched_journal(journal_path, s->culprit);
  }
  // The data file is always replaced first.
  if (data.state != State::made && index.state == State::made) return mismatched_journal(journal_path, index.culprit);
  const bool all_made = data.state == State::made && index.state == State::made;
  if (!all_made && identity_of(env.file_info(backup_file(r))) != journal.lines[0].backup) {
    return mismatched_journal(journal_path, backup_file(r));
  }
  for (const LineState* s : {&data, &index}) {
    if (s->state != State::changed) continue;
    // The new file is not what was written: it cannot be trusted, so the
    // change is given up and what was moved already is put back.
    const Status status =
        data.state == State::made ? undo_data_move(env, r, {data.fresh, index.fresh}) : drop_journal(env, r.folder);
    if (!status.is_ok()) return status.with_more(kNotPutBack);
    return Status::io_error(kInterrupted + quoted(s->fresh) +
                            " was changed after it was written. The database was left as it was before that change.");
  }
  for (int target = 0; target < 2; ++target) {
    const LineState& s = target == 0 ? data : index;
    if (s.state != State::pending) continue;
    const Status status = env.rename_file(s.fresh, target_file(r, target));
    if (!status.is_ok()) return status.with_more(" An interrupted change of the database could not be completed.");
  }
  complete(env, r, {data.fresh, index.fresh});
  return Status::ok();
}

Status finish_undo(Env& env, const Replacement& r, const Journal& journal) {
  const FileInfo kept = env.file_info(backup_file(r));
  // Nothing left to undo: the backup is back already.
  if (!kept.present()) return drop_journal(env, r.folder);
  if (kept.link || identity_of(kept) != journal.lines[0].backup) {
    return mismatched_journal(journal_file(r.folder), backup_file(r));
  }
  if (identity_of(env.file_info(target_file(r, 0))) != journal.lines[0].replaced) {
    return mismatched_journal(journal_file(r.folder), target_file(r, 0));
  }
  const Status status = put_back(env, r);
  return status.is_ok() ? status : status.with_more(kNotPutBack);
}

}  // namespace

Status finish_interrupted_replacement(Env& env, const fs::path& folder) {
  const fs::path path = journal_file(folder);
  const FileInfo info = env.file_info(path);
  if (!info.present()) return Status::ok();
  if (info.link || !info.exists || info.size > kMaxJournalBytes) return foreign_journal(path);
  std::string text;
  const Status status = read_file_to_string(env, path, &text, kMaxJournalBytes);
  if (status.code() == Status::Code::refused) return foreign_journal(path);
  if (!status.is_ok()) return status;
  Journal journal;
  if (!parse_journal(text, &journal)) return foreign_journal(path);
  // Where the new files of a save or an import are, the journal's lines tell.
  const Replacement replacement{journal.kind, folder, folder};
  return journal.undo ? finish_undo(env, replacement, journal) : finish_forward(env, replacement, journal);
}

Status finish_interrupted_replacement(Env& env, const Layout& layout) {
  return finish_interrupted_replacement(env, layout.database_folder());
}

}  // namespace zenfaro
