#include "app/help_viewer.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QProcess>
#include <QVBoxLayout>
#include <string>

#include "app/startup.h"
#include "ui/entry_text.h"

namespace zenfaro {

HelpViewer::HelpViewer(const std::filesystem::path& file) : QDialog(nullptr), view_(new QPlainTextEdit(this)) {
  setWindowTitle(QString::fromStdString(file.filename().u8string()) + QStringLiteral(" - Help"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMinMaxButtonsHint);
  view_->setObjectName(QStringLiteral("helpText"));
  view_->setReadOnly(true);
  view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  std::string bytes;
  if (read_file_to_string(default_env(), file, &bytes).is_ok()) {
    view_->setPlainText(entry_to_text(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  } else {
    view_->setPlainText(QStringLiteral("The help file ") + QString::fromStdString(file.u8string()) +
                        QStringLiteral(" could not be read."));
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_);
  resize(640, 480);
}

std::filesystem::path shown_help_file(const Layout& layout) {
  return find_help_file(default_env(), layout,
                        std::filesystem::path(QCoreApplication::applicationDirPath().toStdWString()));
}

void show_help_viewer(const Layout& layout) {
  HelpViewer viewer(shown_help_file(layout));
  viewer.exec();
}

void show_help(const Layout& layout) {
#ifdef Q_OS_WIN
  const std::filesystem::path file = shown_help_file(layout);
  // "notepad.exe" and the path as the command line has them, run in the
  // working folder; the installed copy by its full path.
  const std::string command = help_command_line(layout);
  QProcess notepad;
  notepad.setProgram(QStringLiteral("notepad.exe"));
  notepad.setNativeArguments(file == help_file(layout)
                                 ? QString::fromStdString(command.substr(command.find(' ') + 1))
                                 : QLatin1Char('"') + QString::fromStdWString(file.wstring()) + QLatin1Char('"'));
  notepad.setWorkingDirectory(QString::fromStdWString(layout.root.wstring()));
  notepad.start();
  if (notepad.waitForStarted(-1)) notepad.waitForFinished(-1);
#else
  show_help_viewer(layout);
#endif
}

}  // namespace zenfaro
