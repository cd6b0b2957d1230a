#include "gui/WindowText.h"

#include <QFile>
#include <QStringDecoder>

#include "symbols/Windows1252.h"

namespace runebin::gui {

QString NameToQt(std::string_view name) {
  QString text;
  text.reserve(static_cast<qsizetype>(name.size()));
  for (const char c : name) {
    text.append(
        QChar(static_cast<char16_t>(Windows1252ToCodePoint(static_cast<unsigned char>(c)))));
  }
  return text;
}

std::string TextFromQt(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString TextToQt(std::string_view text) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString decoded =
      decoder.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!decoder.hasError()) {
    return decoded;
  }
  return NameToQt(text);
}

QString PathToQt(const std::string& path) {
  return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string PathFromQt(const QString& path) {
  const QByteArray encoded = QFile::encodeName(path);
  return std::string(encoded.constData(), static_cast<std::size_t>(encoded.size()));
}

QString WithoutMnemonics(const QString& label) {
  QString plain;
  plain.reserve(label.size());
  for (qsizetype i = 0; i < label.size(); ++i) {
    if (label.at(i) == u'&') {
      if (i + 1 < label.size() && label.at(i + 1) == u'&') {
        plain.append(u'&');
        ++i;
      }
      continue;
    }
    plain.append(label.at(i));
  }
  return plain;
}

}  // namespace runebin::gui
