// render: a symbol, or every symbol of a file, as SVG pictures. Reads the drawing, never writes it.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "platform/SafeFileWriter.h"
#include "render/SvgWriter.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"
#include "symbols/Windows1252.h"

namespace runebin::cli {
namespace {

// Far beyond the window's preview: a picture on disk may be large, but memory stays bounded
// (about 30 bytes per vertex while the picture is made).
constexpr RenderLimits kPictureLimits{.maxVertices = 16'000'000, .maxRecords = 64'000'000};

std::string PictureOf(const Console& console, const Entity& definition, int size) {
  const std::string name = NameOf(definition);
  const DisplayList list = BuildDisplayList(definition, kPictureLimits);
  if (list.truncated) {
    console.Fail("Symbol " + messages::Quoted(Shown(name)) + " is too large: only its first " +
                 std::to_string(list.vertices.size()) + " points are drawn");
  }
  const std::string title = Windows1252ToUtf8(name);
  return WriteSvg(list, {.size = size, .title = title});
}

// Writes a whole picture or nothing (through the safe replacement).
bool WritePicture(const Console& console, const std::string& path, const std::string& svg) {
  platform::SafeFileWriter writer;
  SaveStatus status = writer.Begin(path);
  if (status.Saved()) {
    writer.Write(svg.data(), svg.size());
    status = writer.Commit();
  }
  if (!status.Saved()) {
    console.Fail(WithReason(messages::SaveFailure(status, path), status));
    return false;
  }
  return true;
}

// A file name for a symbol: letters, digits, '-', '_' and '.' kept, everything else '_'; never
// empty, never hidden or "..", and unique (compared without case) among `taken`.
std::string SafeFileName(const std::string& name, std::set<std::string>& taken) {
  std::string base;
  for (const char c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    base += plain ? c : '_';
  }
  if (base.empty() || base.front() == '.') {
    base.insert(0, "_");
  }
  const auto lower = [](std::string text) {
    for (char& c : text) {
      c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
  };
  std::string candidate = base + ".svg";
  for (int number = 2; !taken.insert(lower(candidate)).second; ++number) {
    candidate = base + "-" + std::to_string(number) + ".svg";
  }
  return candidate;
}

int RenderAll(const Console& console, const DrawingFile& drawing, const Invocation& invocation) {
  const std::filesystem::path folder(*invocation.output);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder)) {
    const std::string reason = error ? error.message() : std::strerror(ENOTDIR);
    console.Fail("Can't make the folder " + messages::Quoted(*invocation.output) + ": " + reason);
    return kExitFailure;
  }
  std::set<std::string> taken;
  int written = 0;
  for (int i = 0; i < drawing.SymbolDefs().GetSize(); ++i) {
    const Entity& definition = drawing.SymbolDefs().GetAt(i);
    const std::string path = (folder / SafeFileName(NameOf(definition), taken)).string();
    if (!WritePicture(console, path, PictureOf(console, definition, invocation.size))) {
      return kExitFailure;
    }
    ++written;
  }
  console.Report(std::to_string(written) + (written == 1 ? " picture" : " pictures") +
                 " written to " + folder.string());
  return kExitSuccess;
}

}  // namespace

int RenderSymbols(const Console& console, const Invocation& invocation) {
  const std::string& path = invocation.files[0];
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilClosed)) {
    return kExitFailure;
  }
  const DrawingFile& drawing = document.Drawing();
  if (invocation.all) {
    return RenderAll(console, drawing, invocation);
  }
  const int index = FindSelected(drawing, invocation);
  if (index < 0) {
    console.Fail(NoSuchSymbol(invocation.name, path));
    return kExitFailure;
  }
  const std::string svg = PictureOf(console, drawing.SymbolDefs().GetAt(index), invocation.size);
  if (!invocation.output) {
    console.Write(svg);
    return kExitSuccess;
  }
  return WritePicture(console, *invocation.output, svg) ? kExitSuccess : kExitFailure;
}

}  // namespace runebin::cli
