#include "ui/module1.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "ui/frm_main.h"

namespace veltrana::Module1 {

void Main() {
  auto* window = new frmMain();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void LaunchViewer() {
  const QString path = QFileInfo(QString::fromLocal8Bit(htmlfile)).absoluteFilePath();
  QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace veltrana::Module1
