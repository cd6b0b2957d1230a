// list and entities: they only read the file.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "cli/Json.h"
#include "model/EntityListing.h"
#include "symbols/Analysis.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"
#include "symbols/Windows1252.h"

namespace runebin::cli {
namespace {

// A name as one column of the listing: UTF-8, with the bytes that would break the line or the
// columns, or that stand for no character, spelled out (\t, \n, \r, \\, others \xHH).
std::string ListedName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  std::size_t plainFrom = 0;
  const auto flush = [&](std::size_t upTo) {
    text += Shown(name.substr(plainFrom, upTo - plainFrom));
  };
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte >= 0x20 && byte != 0x7F && byte != '\\' && !IsUndefinedInWindows1252(byte)) {
      continue;
    }
    flush(i);
    plainFrom = i + 1;
    switch (byte) {
      case '\t':
        text += "\\t";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\\':
        text += "\\\\";
        break;
      default:
        text += "\\x";
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
    }
  }
  flush(name.size());
  return text;
}

}  // namespace

// INDEX<TAB>NAME<TAB>USECOUNT<TAB>WIDTH<TAB>HEIGHT per definition. The width and height are
// taken of the stored floats, as the window's details show them.
bool ListSymbols(const Console& console, const std::string& path) {
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilClosed,
                    DrawingFile::Scope::SymbolsOnly)) {
    return false;
  }
  const EntityList& definitions = document.Drawing().SymbolDefs();
  std::string text;
  for (int i = 0; i < definitions.GetSize(); ++i) {
    const Entity& definition = definitions.GetAt(i);
    const SymbolSize size = MeasureSymbol(definition);
    text += std::to_string(i);
    text += '\t';
    text += ListedName(NameOf(definition));
    text += '\t';
    text += std::to_string(definition.useCount);
    text += '\t';
    text += messages::Dimension(size.width);
    text += '\t';
    text += messages::Dimension(size.height);
    text += '\n';
    if (text.size() >= (1U << 16)) {
      console.Write(text);
      text.clear();
    }
  }
  console.Write(text);
  return true;
}

int ListSymbolsJson(const Console& console, const Invocation& invocation) {
  int status = kExitSuccess;
  std::string text = "[";
  for (const std::string& path : invocation.files) {
    Document document("");
    if (!OpenDocument(console, document, path, Document::Lock::UntilClosed,
                      DrawingFile::Scope::SymbolsOnly)) {
      status = kExitFailure;
      continue;
    }
    const EntityList& definitions = document.Drawing().SymbolDefs();
    const std::vector<int> nested = NestedUseCounts(document.Drawing());
    text +=
        (text.size() > 1 ? ",\n{\"file\":" : "\n{\"file\":") + JsonString(path) + ",\"symbols\":[";
    for (int i = 0; i < definitions.GetSize(); ++i) {
      const Entity& definition = definitions.GetAt(i);
      const SymbolSize size = MeasureSymbol(definition);
      text += (i > 0 ? ",\n {\"index\":" : "\n {\"index\":") + std::to_string(i) +
              ",\"name\":" + JsonString(Shown(NameOf(definition))) +
              ",\"uses\":" + std::to_string(definition.useCount) +
              ",\"nestedUses\":" + std::to_string(nested[static_cast<std::size_t>(i)]) +
              ",\"width\":" + JsonNumber(size.width) + ",\"height\":" + JsonNumber(size.height) +
              "}";
      if (text.size() >= (1U << 16)) {
        console.Write(text);
        text.clear();
      }
    }
    text += "]}";
  }
  console.Write(text + "\n]\n");
  return status;
}

bool ListEntities(const Console& console, const std::string& path) {
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilClosed)) {
    return false;
  }
  WriteEntityListing(console.out, document.Drawing().LoadedListing());
  return true;
}

}  // namespace runebin::cli
