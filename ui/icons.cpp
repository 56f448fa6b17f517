#include "ui/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace zenfaro {
namespace {

constexpr int kSize = 32;

// A green pitch with its halfway line, and a white speech bubble with three
// lines of "text" above it.
void draw_commentary(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x00, 0x80, 0x00));
  p.drawRect(0, 18, kSize, 14);
  p.setPen(QPen(Qt::white, 1));
  p.drawLine(16, 18, 16, 31);
  p.drawEllipse(QPoint(16, 25), 4, 4);

  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(1.5, 1.5, 29, 17), 5, 5);
  bubble.moveTo(8, 18);
  bubble.lineTo(6, 24);
  bubble.lineTo(14, 18);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawPath(bubble.simplified());
  p.setPen(QPen(QColor(0x00, 0x00, 0x80), 2));
  p.drawLine(6, 6, 26, 6);
  p.drawLine(6, 10, 23, 10);
  p.drawLine(6, 14, 18, 14);
}

// A black-and-white ball on a blue ground.
void draw_ball(QPainter& p) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x00, 0x00, 0x80));
  p.drawRoundedRect(QRect(0, 0, kSize, kSize), 4, 4);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawEllipse(QPoint(16, 16), 13, 13);
  p.setBrush(Qt::black);
  const QPolygon centre({QPoint(16, 10), QPoint(21, 14), QPoint(19, 20), QPoint(13, 20), QPoint(11, 14)});
  p.drawPolygon(centre);
  p.drawLine(16, 10, 16, 4);
  p.drawLine(21, 14, 27, 12);
  p.drawLine(19, 20, 23, 26);
  p.drawLine(13, 20, 9, 26);
  p.drawLine(11, 14, 5, 12);
  p.drawPolygon(QPolygon({QPoint(13, 3), QPoint(19, 3), QPoint(16, 5)}));
  p.drawPolygon(QPolygon({QPoint(28, 11), QPoint(29, 17), QPoint(26, 14)}));
  p.drawPolygon(QPolygon({QPoint(4, 11), QPoint(3, 17), QPoint(6, 14)}));
  p.drawPolygon(QPolygon({QPoint(22, 27), QPoint(25, 24), QPoint(19, 29)}));
  p.drawPolygon(QPolygon({QPoint(10, 27), QPoint(7, 24), QPoint(13, 29)}));
}

}  // namespace

QImage icon_image(int resource, int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  // Drawn on a grid of 32 x 32 pixels; other sizes scale it, smoothed.
  painter.setRenderHint(QPainter::Antialiasing, size != kSize);
  painter.scale(static_cast<double>(size) / kSize, static_cast<double>(size) / kSize);
  if (resource == 2) {
    draw_ball(painter);
  } else {
    draw_commentary(painter);
  }
  return image;
}

QIcon program_icon(int resource) { return QIcon(QPixmap::fromImage(icon_image(resource))); }

}  // namespace zenfaro
