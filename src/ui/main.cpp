// veltrana: the window.
#include <QApplication>

#include "ui/module1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  veltrana::Module1::argument_zero = argc > 0 ? argv[0] : nullptr;
  QApplication::setApplicationName(QStringLiteral("Veltrana"));
  veltrana::Module1::Main();
  return QApplication::exec();
}
