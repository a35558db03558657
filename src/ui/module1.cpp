#include "ui/module1.h"

#include <QDesktopServices>
#include <QUrl>
#include <filesystem>
#include <string>
#include <system_error>

#include "ui/frm_main.h"

namespace veltrana::Module1 {

void Main() {
  auto* window = new frmMain();
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

// The page's name goes to the viewer byte for byte, percent-encoded, so a
// name that is not UTF-8 still opens.
void LaunchViewer(const std::filesystem::path& htmlfile) {
  std::error_code unknown;
  const std::string path = std::filesystem::absolute(htmlfile, unknown).string();
  const QByteArray encoded =
      QByteArray(path.data(), static_cast<qsizetype>(path.size())).toPercentEncoding("/");
  QDesktopServices::openUrl(QUrl::fromEncoded("file://" + encoded));
}

}  // namespace veltrana::Module1
