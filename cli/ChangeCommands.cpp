// sort, purge, rename, delete and copy: the symbol operations the window program offers, through
// the same core functions, each followed by the write-back. A report the window would show after
// the operation is printed once the file has been written.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "symbols/Analysis.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

namespace runebin::cli {
namespace {

// Opens `path` for a change and finds the definition named `name` as the window would (last
// match wins). Returns its index, or -1 after reporting why there is none.
int OpenAndFind(const Console& console, Document& document, const std::string& path,
                const std::string& name) {
  if (!OpenDocument(console, document, path, true)) {
    return -1;
  }
  const int index = document.Drawing().SymbolDefs().FindByName(name);
  if (index < 0) {
    console.Fail(NoSuchSymbol(name, path));
  }
  return index;
}

}  // namespace

bool SortFile(const Console& console, const std::string& path,
              const std::optional<std::string>& output) {
  Document document("");
  if (!OpenDocument(console, document, path, true)) {
    return false;
  }
  SortSymbols(document.Drawing());
  return WriteBack(console, document, output);
}

bool PurgeFile(const Console& console, const std::string& path,
               const std::optional<std::string>& output) {
  Document document("");
  if (!OpenDocument(console, document, path, true)) {
    return false;
  }
  const int deleted = DeleteUnusedSymbols(document.Drawing());
  if (!WriteBack(console, document, output)) {
    return false;
  }
  console.Report(messages::UnusedDeleted(deleted));
  return true;
}

bool RenameInFile(const Console& console, const Invocation& invocation) {
  Document document("");
  const int index = OpenAndFind(console, document, invocation.files.front(), invocation.name);
  if (index < 0) {
    return false;
  }
  const int renamed = RenameSymbol(document.Drawing(), index, invocation.newName);
  if (!WriteBack(console, document, invocation.output)) {
    return false;
  }
  if (renamed > 0) {
    console.Report(messages::RenameReport(renamed, invocation.name, invocation.newName));
  }
  return true;
}

bool DeleteFromFile(const Console& console, const Invocation& invocation) {
  Document document("");
  const int index = OpenAndFind(console, document, invocation.files.front(), invocation.name);
  if (index < 0) {
    return false;
  }
  const std::string name = DeleteSymbol(document.Drawing(), index);
  const int removed = invocation.references ? document.Drawing().RemoveReferences(name) : 0;
  if (!WriteBack(console, document, invocation.output)) {
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
  // The source is only read; it is locked while it is loaded, as the window does.
  Document from("");
  if (!OpenDocument(console, from, fromPath, false)) {
    return false;
  }
  const int sourceIndex = from.Drawing().SymbolDefs().FindByName(invocation.name);
  if (sourceIndex < 0) {
    console.Fail(NoSuchSymbol(invocation.name, fromPath));
    return false;
  }
  Document to("");
  if (!OpenDocument(console, to, toPath, true)) {
    return false;
  }
  const Entity& source = from.Drawing().SymbolDefs().GetAt(sourceIndex);
  const int targetIndex = to.Drawing().SymbolDefs().FindByName(invocation.name);
  if (targetIndex < 0) {
    AppendSymbolCopy(source, to.Drawing());
  } else if (invocation.replace) {
    ReplaceSymbolWithCopy(source, to.Drawing(), targetIndex);
  } else {
    console.Fail(messages::AlreadyNamed(invocation.name, toPath) +
                 "\nUse --replace to replace it.");
    return false;
  }
  // The symbols the copied one places from inside: along with it on request, else a warning for
  // each one that TO lacks, since TO would not draw it whole.
  std::vector<std::string> lacking;
  int dependencies = 0;
  for (const int index : Dependencies(from.Drawing(), sourceIndex)) {
    const Entity& needed = from.Drawing().SymbolDefs().GetAt(index);
    const int existing = to.Drawing().SymbolDefs().FindByName(NameOf(needed));
    if (invocation.withDependencies && existing < 0) {
      AppendSymbolCopy(needed, to.Drawing());
      ++dependencies;
    } else if (invocation.withDependencies && invocation.replace) {
      ReplaceSymbolWithCopy(needed, to.Drawing(), existing);
      ++dependencies;
    } else if (existing < 0) {
      lacking.push_back(NameOf(needed));
    }
  }
  if (!WriteBack(console, to, invocation.output)) {
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
