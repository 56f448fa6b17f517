#include "ui/expansion_tip.h"

#include <QLineEdit>
#include <QTextDocument>
#include <QToolTip>

#include "ui/entry_text.h"

namespace zenfaro {
namespace {

const char* const kListCaptions[] = {"Triggers", "Exclusion Triggers", "Commentary Lines"};
const char* const kButtonCaptions[] = {"Add To Triggers", "Add To Exclusion", "Add To Commentary"};

// An entry on one line of the tip: at most 80 characters.
QString tip_line(const Entry& entry) {
  const QString text = entry_to_text(entry);
  return text.size() > 80 ? text.left(80) + QStringLiteral("...") : text;
}

}  // namespace

QString expansion_tip(const ExpansionPreview& preview) {
  if (!preview.alternatives) return {};
  const QString capacity = QString::number(kMaxListEntries);
  if (preview.count > static_cast<std::size_t>(kMaxListEntries)) {
    return "This entry expands into more than " + capacity +
           " entries, more than a list can hold: Add To would add nothing.";
  }
  QStringList lines;
  const QString count = QString::number(preview.count);
  lines << "Adds " + count + (preview.count == 1 ? " entry" : " entries") + (preview.first.empty() ? "." : ":");
  for (const Entry& entry : preview.first) lines << tip_line(entry);
  if (!preview.first.empty() && preview.first.size() < preview.count) {
    lines << "... and " + QString::number(preview.count - preview.first.size()) + " more.";
  }
  for (std::size_t list = 0; list < preview.fits.size(); ++list) {
    if (preview.fits[list]) continue;
    lines << QString::fromLatin1("Too many for %1: the list would hold more than %2 entries, so %3 adds nothing.")
                 .arg(QString::fromLatin1(kListCaptions[list]), capacity, QString::fromLatin1(kButtonCaptions[list]));
  }
  return lines.join('\n');
}

void show_tip(QLineEdit* box, const QString& tip) {
  const QString rich = tip.isEmpty() ? QString() : Qt::convertFromPlainText(tip, Qt::WhiteSpaceNormal);
  const bool was_shown = QToolTip::isVisible() && !box->toolTip().isEmpty() && QToolTip::text() == box->toolTip();
  box->setToolTip(rich);
  if (rich.isEmpty()) {
    if (was_shown) QToolTip::hideText();
  } else if (box->hasFocus()) {
    QToolTip::showText(box->mapToGlobal(QPoint(0, box->height())), rich, box);
  }
}

}  // namespace zenfaro
