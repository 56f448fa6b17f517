// zenfaro-render-icons FOLDER SIZE...: writes the program's icon (icon 1 of
// ui/icons.cpp, drawn in code) as FOLDER/SIZExSIZE/apps/zenfaro.png for each
// size, the layout of the desktop's icon themes. Needs no display.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "ui/icons.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QStringList arguments = QGuiApplication::arguments();
  if (arguments.size() < 3) {
    std::fputs("usage: zenfaro-render-icons FOLDER SIZE...\n", stderr);
    return 2;
  }
  for (int i = 2; i < arguments.size(); ++i) {
    const int size = arguments[i].toInt();
    const QString folder = arguments[1] + QStringLiteral("/%1x%1/apps").arg(size);
    if (size <= 0 || !QDir().mkpath(folder) || !zenfaro::icon_image(1, size).save(folder + "/zenfaro.png")) {
      std::fprintf(stderr, "zenfaro-render-icons: could not write the %s x %s icon in %s\n", qPrintable(arguments[i]),
                   qPrintable(arguments[i]), qPrintable(folder));
      return 1;
    }
  }
  return 0;
}
