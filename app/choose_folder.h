#pragma once
// --choose-folder: asks for the folder the editor works in, starting from
// the one chosen last time, remembers the choice and makes it the working
// folder, so that start-up then runs exactly as if the editor had been
// started there.
#include <QString>
#include <functional>

#include "core/prompt.h"

class QSettings;

namespace zenfaro {

// Shows the folder dialog opened on `start` and returns the chosen folder,
// or an empty text when the user cancels.
using FolderDialog = std::function<QString(const QString& start)>;

// The folder dialog of the toolkit.
QString ask_for_folder(const QString& start);

// False when the user cancels or the chosen folder cannot be entered (told
// through `prompt`); the working folder then stays as it was.
bool enter_chosen_folder(QSettings& settings, Prompt& prompt, const FolderDialog& dialog = ask_for_folder);

}  // namespace zenfaro
