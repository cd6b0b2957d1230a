// sort, purge, rename, delete and copy: the symbol operations the window program offers, through
// the same core functions, each followed by the write-back. A report the window would show after
// the operation is printed once the file has been written.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "model/NamedEntity.h"
#include "symbols/Analysis.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

namespace runebin::cli {
namespace {

// Loads `path` and finds the definition named `name` as the window would (last match wins).
// Returns its index, or -1 after reporting why there is none.
int LoadAndFind(const Console& console, DrawingFile& drawing, const std::string& path,
                const std::string& name) {
  if (!LoadDrawing(console, drawing, path)) {
    return -1;
  }
  const int index = drawing.symbolDefs.FindByName(name);
  if (index < 0) {
    console.Fail(NoSuchSymbol(name, path));
  }
  return index;
}

}  // namespace

bool SortFile(const Console& console, const std::string& path,
              const std::optional<std::string>& output) {
  DrawingFile drawing("");
  if (!LoadDrawing(console, drawing, path)) {
    return false;
  }
  SortSymbols(drawing);
  return WriteBack(console, drawing, path, output);
}

bool PurgeFile(const Console& console, const std::string& path,
               const std::optional<std::string>& output) {
  DrawingFile drawing("");
  if (!LoadDrawing(console, drawing, path)) {
    return false;
  }
  const int deleted = DeleteUnusedSymbols(drawing);
  if (!WriteBack(console, drawing, path, output)) {
    return false;
  }
  console.Report(messages::UnusedDeleted(deleted));
  return true;
}

bool RenameInFile(const Console& console, const Invocation& invocation) {
  const std::string& path = invocation.files.front();
  DrawingFile drawing("");
  const int index = LoadAndFind(console, drawing, path, invocation.name);
  if (index < 0) {
    return false;
  }
  const int renamed = RenameSymbol(drawing, index, invocation.newName);
  if (!WriteBack(console, drawing, path, invocation.output)) {
    return false;
  }
  if (renamed > 0) {
    console.Report(messages::RenameReport(renamed, invocation.name, invocation.newName));
  }
  return true;
}

bool DeleteFromFile(const Console& console, const Invocation& invocation) {
  const std::string& path = invocation.files.front();
  DrawingFile drawing("");
  const int index = LoadAndFind(console, drawing, path, invocation.name);
  if (index < 0) {
    return false;
  }
  const std::string name = DeleteSymbol(drawing, index);
  const int removed = invocation.references ? drawing.RemoveReferences(name) : 0;
  if (!WriteBack(console, drawing, path, invocation.output)) {
    return false;
  }
  if (invocation.references) {
    console.Report(messages::ReferencesRemoved(removed, name));
  }
  return true;
}

bool CopyBetweenFiles(const Console& console, const Invocation& invocation) {
  const std::string& fromPath = invocation.files[0];
  const std::string& toPath = invocation.files[1];
  if (fromPath == toPath) {
    console.Fail(messages::kSameFileTwice);
    return false;
  }
  DrawingFile from("");
  const int sourceIndex = LoadAndFind(console, from, fromPath, invocation.name);
  if (sourceIndex < 0) {
    return false;
  }
  DrawingFile to("");
  if (!LoadDrawing(console, to, toPath)) {
    return false;
  }
  const Entity& source = from.symbolDefs.GetAt(sourceIndex);
  const int targetIndex = to.symbolDefs.FindByName(invocation.name);
  if (targetIndex < 0) {
    AppendSymbolCopy(source, to);
  } else if (invocation.replace) {
    ReplaceSymbolWithCopy(source, to, targetIndex);
  } else {
    console.Fail(messages::AlreadyNamed(invocation.name, toPath) +
                 "\nUse --replace to replace it.");
    return false;
  }
  // The symbols the copied one places from inside: along with it on request, else a warning for
  // each one that TO lacks, since TO would not draw it whole.
  std::vector<std::string> lacking;
  int dependencies = 0;
  for (const int index : Dependencies(from, sourceIndex)) {
    const Entity& needed = from.symbolDefs.GetAt(index);
    const int existing = to.symbolDefs.FindByName(NameOf(needed));
    if (invocation.withDependencies && existing < 0) {
      AppendSymbolCopy(needed, to);
      ++dependencies;
    } else if (invocation.withDependencies && invocation.replace) {
      ReplaceSymbolWithCopy(needed, to, existing);
      ++dependencies;
    } else if (existing < 0) {
      lacking.push_back(NameOf(needed));
    }
  }
  if (!WriteBack(console, to, toPath, invocation.output)) {
    return false;
  }
  if (invocation.withDependencies) {
    console.Report(std::to_string(dependencies) + (dependencies == 1
                                                       ? " symbol it places copied too"
                                                       : " symbols it places copied too"));
  }
  for (const std::string& name : lacking) {
    console.Fail("Warning: " + messages::Quoted(invocation.name) + " places " +
                 messages::Quoted(name) + ", which " + messages::Quoted(toPath) +
                 " lacks (--with-dependencies copies it too)");
  }
  return true;
}

}  // namespace runebin::cli
