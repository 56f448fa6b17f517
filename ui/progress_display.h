#pragma once
// The progress of an import or an export in the window. The work runs on
// the window's thread, so nothing is shown unless it takes long: once it
// has run for half a second, a progress dialog over the main window names
// the stage and its records and moves a bar across the command's stages. It
// has no cancel button (the command runs to its end, as a change of the
// database must) and takes no input. While the import asks its
// confirmation it is hidden; once the user has seen it, it comes back at
// once for the writing, otherwise the half second starts again there.
#include <QElapsedTimer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "exchange/exchange_progress.h"

class QProgressDialog;
class QWidget;

namespace zenfaro {

// How long a command runs before its progress is shown.
constexpr std::int64_t kShowProgressAfterMs = 500;

class ProgressDisplay {
 public:
  // Milliseconds since the clock was started; a steady clock unless a test
  // gives its own.
  using Clock = std::function<std::int64_t()>;

  // `stages`: those the command passes through, in order (confirming aside).
  ProgressDisplay(QWidget* owner, QString title, std::vector<ExchangeStage> stages, Clock clock = {});
  ~ProgressDisplay();
  ProgressDisplay(const ProgressDisplay&) = delete;
  ProgressDisplay& operator=(const ProgressDisplay&) = delete;

  // The callback the exchange code is given.
  void tell(ExchangeStage stage, std::uint64_t done, std::uint64_t total);

  // Null until the progress was first shown.
  QProgressDialog* dialog() const { return dialog_.get(); }

  // "Reading the records: 1200 of 8000" and the like.
  static QString stage_text(ExchangeStage stage, std::uint64_t done, std::uint64_t total);

 private:
  std::int64_t now() const;
  void show(ExchangeStage stage, std::uint64_t done, std::uint64_t total);

  QWidget* owner_;
  QString title_;
  std::vector<ExchangeStage> stages_;
  Clock clock_;
  QElapsedTimer timer_;
  std::int64_t started_ = -1;  // when the half second began; -1 before the first stage
  std::int64_t painted_ = 0;
  ExchangeStage painted_stage_ = ExchangeStage::confirming;
  bool seen_ = false;  // shown before the confirmation
  int value_ = 0;
  std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace zenfaro
