#include "app/choose_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>

namespace zenfaro {
namespace {

const QString kLastFolderKey = QStringLiteral("lastFolder");

}  // namespace

QString ask_for_folder(const QString& start) {
  return QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Choose the game's folder or a database folder"),
                                           start);
}

bool enter_chosen_folder(QSettings& settings, Prompt& prompt, const FolderDialog& dialog) {
  const QString last = settings.value(kLastFolderKey).toString();
  const QString chosen = dialog(last.isEmpty() || !QDir(last).exists() ? QDir::homePath() : last);
  if (chosen.isEmpty()) return false;
  if (!QDir::setCurrent(chosen)) {
    prompt.tell({"The folder " + QDir::toNativeSeparators(chosen).toStdString() + " cannot be opened.", kDefaultCaption,
                 Icon::error});
    return false;
  }
  settings.setValue(kLastFolderKey, chosen);
  return true;
}

}  // namespace zenfaro
