#pragma once
// The editor's application object. An exception that escapes a command (the
// machine short of memory, a path the system refuses) ends that command with
// a message box instead of ending the editor; the database files are never
// half written, since every change replaces them whole.
#include <QApplication>

namespace zenfaro {

class GuardedApplication final : public QApplication {
 public:
  GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the message for an exception that stopped a command.
void report_stopped_command(const char* what);

}  // namespace zenfaro
