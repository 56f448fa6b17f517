// zenfaro-bench-window DIR: opens the editor window (offscreen unless a
// display is set) on the database in DIR, whose record 1 is long (see
// generate.cpp: 10000 commentary lines), and times showing record 1 through
// the record-number box, as typing its number does: reading the record,
// filling the lists, laying them out and painting the window. Prints
// "seconds=S entries=N" for the best of five showings; between them the
// empty new-record position is shown.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <chrono>
#include <iostream>

#include "ui/main_window.h"

namespace {

using namespace zenfaro;
using Clock = std::chrono::steady_clock;

class NoQuestions final : public Prompt {
 public:
  bool ask(const Question&) override { return false; }
  void tell(const Message& message) override { std::cerr << message.text << "\n"; }
  std::optional<std::string> choose_file(const FileRequest&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zenfaro-bench-window DIR\n";
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  NoQuestions prompt;
  IconChooser icons(1);
  EditorModel model(default_env(), Layout{std::filesystem::absolute(std::filesystem::u8path(argv[1])), false}, prompt);
  MainWindow window(model, icons);
  window.show();
  QListWidget* lines = window.list_widget(ListKind::lines);
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    window.record_box()->setText(QString::number(model.navigator_maximum()));
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    window.record_box()->setText(QStringLiteral("1"));
    QApplication::processEvents();  // the list's delayed layout
    window.repaint();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  const int widest = lines->horizontalScrollBar()->maximum() + lines->viewport()->width();
  std::cout << "seconds=" << best << " entries=" << lines->count() << " widest_pixels=" << widest << "\n";
  return lines->count() > 0 ? 0 : 1;
}
