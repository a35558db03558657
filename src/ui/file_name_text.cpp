#include "ui/file_name_text.h"

#include <QStringList>
#include <filesystem>
#include <system_error>

namespace veltrana {

namespace {

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0.
std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t least = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    least = 0x10000;
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  char32_t code = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
  return code >= least && code <= 0x10FFFF && !surrogate ? length : 0;
}

bool Exists(const std::string& bytes) {
  std::error_code unknown;
  return std::filesystem::exists(std::filesystem::path(bytes), unknown);
}

bool FitsLatin1(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() > 0xFF) return false;
  }
  return true;
}

}  // namespace

QString ShowBytes(std::string_view bytes) {
  QString shown;
  shown.reserve(static_cast<qsizetype>(bytes.size()));
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      shown += QChar(static_cast<unsigned char>(bytes.front()));
      bytes.remove_prefix(1);
    } else {
      shown += QString::fromUtf8(bytes.data(), static_cast<qsizetype>(length));
      bytes.remove_prefix(length);
    }
  }
  return shown;
}

std::string FileNameBytes(const QString& text) {
  std::string path;
  const QStringList names = text.split(QLatin1Char('/'));
  for (qsizetype i = 0; i < names.size(); ++i) {
    if (i > 0) path += '/';
    const QString& name = names[i];
    const std::string utf8 = name.toUtf8().toStdString();
    if (FitsLatin1(name)) {
      const std::string latin1 = name.toLatin1().toStdString();
      if (latin1 != utf8 && !Exists(path + utf8) && Exists(path + latin1)) {
        path += latin1;
        continue;
      }
    }
    path += utf8;
  }
  return path;
}

}  // namespace veltrana
