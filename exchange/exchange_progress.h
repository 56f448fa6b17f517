#pragma once
// The progress of a long exchange command, told stage by stage to whoever
// shows it (the window shows a progress dialog; the command line shows
// nothing). An import passes through reading, classifying, merging and
// rebuilding, then asks its confirmation (confirming: nothing runs while the
// user decides) and ends with writing; an export only writes. Within a
// stage, `done` of `total` counts records (0 of 0 when there is nothing to
// count); it starts again at 0 when the stage reads a second set of records.
#include <cstdint>
#include <functional>

namespace zenfaro {

enum class ExchangeStage { reading, classifying, merging, rebuilding, confirming, writing };

using ExchangeProgress = std::function<void(ExchangeStage stage, std::uint64_t done, std::uint64_t total)>;

// Tells `progress`, when it is set.
inline void tell_progress(const ExchangeProgress& progress, ExchangeStage stage, std::uint64_t done,
                          std::uint64_t total) {
  if (progress) progress(stage, done, total);
}

// The same for a loop over records: at its start and then every
// kProgressStep records, so that a long stage keeps the display alive
// without a call per record.
constexpr std::uint64_t kProgressStep = 64;
inline void tell_record_progress(const ExchangeProgress& progress, ExchangeStage stage, std::uint64_t done,
                                 std::uint64_t total) {
  if (done % kProgressStep == 0) tell_progress(progress, stage, done, total);
}

}  // namespace zenfaro
