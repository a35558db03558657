// veltrana: the window.
#include <QApplication>
#include <QIcon>

#include "ui/module1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veltrana"));
  // The menu entry veltrana.desktop and the icon of an installed program.
  QGuiApplication::setDesktopFileName(QStringLiteral("veltrana"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("veltrana")));
  veltrana::Module1::Main();
  return QApplication::exec();
}
