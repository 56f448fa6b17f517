#pragma once
// The help viewer of start-up. On Windows it is the system text editor,
// started with the help command line in the working folder; elsewhere a
// read-only text window of the program's own shows the same file. Either
// way the call returns only once the viewer has been closed. A viewer that
// cannot be started is passed over silently.
#include <QDialog>

#include "core/layout.h"

class QPlainTextEdit;

namespace zenfaro {

void show_help(const Layout& layout);
// The file show_help shows: the layout's help file, or else the copy
// installed with the program (see find_help_file).
std::filesystem::path shown_help_file(const Layout& layout);
// The program's own viewer on that file, modal: what show_help shows where
// there is no Notepad, and what tests hand to start-up on every system, so
// that no test starts or waits on an outside program.
void show_help_viewer(const Layout& layout);

// The program's own viewer: the file's Windows-1252 text, read-only.
class HelpViewer final : public QDialog {
 public:
  explicit HelpViewer(const std::filesystem::path& file);
  QPlainTextEdit* text_view() const { return view_; }

 private:
  QPlainTextEdit* view_;
};

}  // namespace zenfaro
