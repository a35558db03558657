// veltrana: the window.
#include <QApplication>

#include "ui/module1.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Veltrana"));
  veltrana::Module1::Main();
  return QApplication::exec();
}
