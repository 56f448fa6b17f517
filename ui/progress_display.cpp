#include "ui/progress_display.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>

namespace zenfaro {
namespace {

// The bar moves this far within each stage.
constexpr int kStageSteps = 100;
// A stage that counts records is repainted at most this often.
constexpr std::int64_t kRepaintMs = 50;

}  // namespace

ProgressDisplay::ProgressDisplay(QWidget* owner, QString title, std::vector<ExchangeStage> stages, Clock clock)
    : owner_(owner), title_(std::move(title)), stages_(std::move(stages)), clock_(std::move(clock)) {
  timer_.start();
}

ProgressDisplay::~ProgressDisplay() = default;

std::int64_t ProgressDisplay::now() const { return clock_ ? clock_() : timer_.elapsed(); }

QString ProgressDisplay::stage_text(ExchangeStage stage, std::uint64_t done, std::uint64_t total) {
  QString text;
  switch (stage) {
    case ExchangeStage::reading: text = QStringLiteral("Reading the records"); break;
    case ExchangeStage::classifying: text = QStringLiteral("Comparing the records with the database"); break;
    case ExchangeStage::merging: text = QStringLiteral("Merging the records"); break;
    case ExchangeStage::rebuilding: text = QStringLiteral("Rebuilding the database without repeated entries"); break;
    case ExchangeStage::confirming: break;
    case ExchangeStage::writing: text = QStringLiteral("Writing the files"); break;
  }
  if (total > 0) text += QStringLiteral(": %1 of %2 records").arg(std::min(done, total)).arg(total);
  return text;
}

void ProgressDisplay::tell(ExchangeStage stage, std::uint64_t done, std::uint64_t total) {
  const bool visible = dialog_ != nullptr && dialog_->isVisible();
  if (stage == ExchangeStage::confirming) {
    // Nothing runs while the user decides.
    if (visible) dialog_->hide();
    seen_ = seen_ || visible;
    started_ = -1;
    return;
  }
  const std::int64_t time = now();
  if (started_ < 0) started_ = time;
  if (!visible && !seen_ && time - started_ < kShowProgressAfterMs) return;
  if (visible && stage == painted_stage_ && time - painted_ < kRepaintMs) return;
  painted_ = time;
  painted_stage_ = stage;
  show(stage, done, total);
}

void ProgressDisplay::show(ExchangeStage stage, std::uint64_t done, std::uint64_t total) {
  if (dialog_ == nullptr) {
    dialog_ = std::make_unique<QProgressDialog>(owner_);
    dialog_->setObjectName(QStringLiteral("progress"));
    dialog_->setWindowTitle(title_);
    dialog_->setCancelButton(nullptr);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setRange(0, static_cast<int>(stages_.size()) * kStageSteps);
    dialog_->setMinimumWidth(dialog_->fontMetrics().averageCharWidth() * 60);
  }
  // The bar never moves back, though a stage may count a second set of
  // records from 0.
  const auto index = static_cast<int>(std::find(stages_.begin(), stages_.end(), stage) - stages_.begin());
  const int within = total > 0 ? static_cast<int>(std::min(done, total) * kStageSteps / total) : 0;
  value_ = std::max(value_, index * kStageSteps + within);
  dialog_->setLabelText(stage_text(stage, done, total));
  dialog_->setValue(value_);
  dialog_->show();
  // Paint it; the user's input waits for the end of the command, and so do
  // the notifications of the files it is changing.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
}

}  // namespace zenfaro
