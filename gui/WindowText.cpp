#include "gui/WindowText.h"

#include <QFile>
#include <QStringDecoder>
#include <array>

namespace runebin::gui {

namespace {

// Code points of the bytes 0x80..0x9F in Windows-1252. The five bytes the code page leaves
// unassigned keep their C1 control code points, so they still round-trip.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t ByteToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) {
    return kHighControlRange[byte - 0x80];
  }
  return byte;  // the rest of the code page coincides with Latin-1
}

char CodePointToByte(char16_t codePoint) {
  if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
    return static_cast<char>(codePoint);
  }
  for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
    if (kHighControlRange[i] == codePoint) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
}

}  // namespace

QString NameToQt(std::string_view name) {
  QString text;
  text.reserve(static_cast<qsizetype>(name.size()));
  for (const char c : name) {
    text.append(QChar(ByteToCodePoint(static_cast<unsigned char>(c))));
  }
  return text;
}

std::string NameFromQt(const QString& text) {
  std::string name;
  name.reserve(static_cast<std::size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      ++i;  // one character outside the basic plane: one '?'
      name.push_back('?');
      continue;
    }
    name.push_back(CodePointToByte(c.unicode()));
  }
  return name;
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
