// veltrana: the window.
#include <QApplication>
#include <QIcon>

#include "ui/module1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  veltrana::Module1::argument_zero = argc > 0 ? argv[0] : nullptr;
  QApplication::setApplicationName(QStringLiteral("Veltrana"));
  // The menu entry veltrana.desktop and the icon of an installed program.
  QGuiApplication::setDesktopFileName(QStringLiteral("veltrana"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("veltrana")));
  veltrana::Module1::Main();
  return QApplication::exec();
}
