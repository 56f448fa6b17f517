#include "app/smoke_run.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>
#include <memory>

#include "ui/main_window.h"

namespace zenfaro {
namespace {

// One line per window: what it showed and how it was answered.
QString list_text(const MainWindow& window, ListKind kind) {
  QStringList texts;
  const QListWidget* list = window.list_widget(kind);
  for (int row = 0; row < list->count(); ++row) texts << list->item(row)->text();
  return texts.join(QStringLiteral(", "));
}

QString answer(QWidget& modal) {
  if (auto* window = dynamic_cast<MainWindow*>(&modal)) {
    const QString shown = QStringLiteral("window: record %1 | triggers: %2 | exclusions: %3 | lines: %4")
                              .arg(window->record_box()->text(), list_text(*window, ListKind::triggers),
                                   list_text(*window, ListKind::exclusions), list_text(*window, ListKind::lines));
    window->findChild<QPushButton*>(QStringLiteral("quit"))->click();
    return shown + QStringLiteral(" -> Quit");
  }
  if (auto* box = dynamic_cast<QMessageBox*>(&modal)) {
    QAbstractButton* no = box->button(QMessageBox::No);
    QAbstractButton* chosen = no != nullptr ? no : box->button(QMessageBox::Ok);
    const QString shown = QStringLiteral("box \"%1\": %2").arg(box->windowTitle(), box->text());
    if (chosen == nullptr) {
      box->close();
      return shown + QStringLiteral(" -> closed");
    }
    chosen->click();
    return shown + QStringLiteral(" -> ") + chosen->text().remove(QLatin1Char('&'));
  }
  const QString shown = QStringLiteral("unexpected %1 \"%2\"")
                            .arg(QString::fromLatin1(modal.metaObject()->className()), modal.windowTitle());
  modal.close();
  return shown + QStringLiteral(" -> closed");
}

}  // namespace

bool start_smoke_run_if_asked(QObject& owner) {
  if (!qEnvironmentVariableIsSet(kSmokeRunVariable)) return false;
  auto report = std::make_shared<QFile>(qEnvironmentVariable(kSmokeRunVariable));
  // A report that cannot be written is missing afterwards, which fails the check; the answers go on.
  if (!report->open(QIODevice::WriteOnly | QIODevice::Truncate)) report.reset();
  // Looked at a few times a second rather than on each window's show event, so
  // that a window is answered only once it runs its own event loop.
  auto* timer = new QTimer(&owner);
  auto answered = std::make_shared<QPointer<QWidget>>();
  QObject::connect(timer, &QTimer::timeout, [report, answered] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == answered->data()) return;
    *answered = modal;
    const QString line = answer(*modal);
    if (!report) return;
    QTextStream(report.get()) << line << '\n';
    report->flush();
  });
  timer->start(100);
  return true;
}

}  // namespace zenfaro
