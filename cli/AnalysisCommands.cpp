// check, uses and diff: questions about the symbols of drawings. They load, never write.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "cli/Json.h"
#include "symbols/Analysis.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

namespace runebin::cli {
namespace {

std::string JsonList(const std::vector<std::string>& names) {
  std::string out = "[";
  for (const std::string& name : names) {
    out += (out.size() > 1 ? "," : "") + JsonString(Shown(name));
  }
  return out + "]";
}

// A finding with its names as the terminal shows them.
Finding ShownFinding(Finding finding) {
  finding.name = Shown(finding.name);
  finding.placerName = Shown(finding.placerName);
  return finding;
}

std::string FindingJson(const std::string& path, const Finding& finding) {
  const Finding f = ShownFinding(finding);
  return "{\"file\":" + JsonString(path) + ",\"kind\":\"" + FindingKindName(f.kind) +
         "\",\"index\":" + std::to_string(f.index) + ",\"name\":" + JsonString(f.name) +
         ",\"message\":" + JsonString(DescribeFinding(f)) + "}";
}

}  // namespace

int CheckFiles(const Console& console, const Invocation& invocation) {
  bool found = false;
  bool failed = false;
  std::string json;
  for (const std::string& path : invocation.files) {
    Document document("");
    if (!OpenDocument(console, document, path, Document::Lock::UntilClosed)) {
      failed = true;
      continue;
    }
    const DrawingFile& drawing = document.Drawing();
    for (const Finding& finding : CheckDrawing(drawing)) {
      found = true;
      if (invocation.json) {
        json += (json.empty() ? "[\n" : ",\n") + FindingJson(path, finding);
      } else {
        console.Report(path + ": " + DescribeFinding(ShownFinding(finding)));
      }
    }
  }
  if (invocation.json) {
    console.Report(json.empty() ? "[]" : json + "\n]");
  }
  return found || failed ? kExitFailure : kExitSuccess;
}

int ReportUses(const Console& console, const Invocation& invocation) {
  const std::string& path = invocation.files[0];
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilClosed)) {
    return kExitFailure;
  }
  const DrawingFile& drawing = document.Drawing();
  const int index = FindSelected(drawing, invocation);
  if (index < 0) {
    console.Fail(NoSuchSymbol(invocation.name, path));
    return kExitFailure;
  }
  const Uses uses = FindUses(drawing, NameOf(drawing.SymbolDefs().GetAt(index)));
  std::string text = "top level: " + std::to_string(uses.topLevel) + "\n";
  for (const Placer& placer : uses.placers) {
    text += "depth " + std::to_string(placer.depth) + ": " +
            (placer.isGroup ? "group " + std::to_string(placer.index)
                            : "symbol " + std::to_string(placer.index) + " " +
                                  messages::Quoted(Shown(placer.name))) +
            "\n";
  }
  console.Write(text);
  return kExitSuccess;
}

// Exit statuses as the diff tool's: 0 the same, 1 different, 2 trouble.
int DiffFiles(const Console& console, const Invocation& invocation) {
  constexpr int kExitTrouble = 2;
  const std::string& pathA = invocation.files[0];
  const std::string& pathB = invocation.files[1];
  // A file compared with itself is opened (and locked) once.
  const bool same = pathA == pathB;
  Document a("");
  Document b("");
  if (!OpenDocument(console, a, pathA, Document::Lock::WhileLoading) ||
      (!same && !OpenDocument(console, b, pathB, Document::Lock::WhileLoading))) {
    return kExitTrouble;
  }
  const SymbolDiff diff = DiffSymbols(a.Drawing(), (same ? a : b).Drawing());
  if (invocation.json) {
    console.Report("{\"onlyInA\":" + JsonList(diff.onlyInA) + ",\"onlyInB\":" +
                   JsonList(diff.onlyInB) + ",\"changed\":" + JsonList(diff.changed) +
                   ",\"orderDiffers\":" + (diff.orderDiffers ? "true" : "false") + "}");
  } else {
    std::string text;
    for (const auto& [names, label] : {std::pair{&diff.onlyInA, "only in " + pathA + ": "},
                                       std::pair{&diff.onlyInB, "only in " + pathB + ": "},
                                       std::pair{&diff.changed, std::string("changed: ")}}) {
      for (const std::string& name : *names) {
        text += label + Shown(name) + "\n";
      }
    }
    text += diff.orderDiffers ? "the common symbols stand in another order\n" : "";
    console.Write(text);
  }
  return diff.SameSymbols() ? kExitSuccess : kExitFailure;
}

}  // namespace runebin::cli
