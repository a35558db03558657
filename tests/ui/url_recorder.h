// Receives the URLs that QDesktopServices would open, in place of the system.
#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace veltrana::test {

class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

}  // namespace veltrana::test
