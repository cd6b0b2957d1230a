// sort, purge, rename, delete and copy: the symbol operations the window program offers, through
// the same core functions, each followed by the write-back. A report the window would show after
// the operation is printed once the file has been written.

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "cli/Usage.h"
#include "model/NamedEntity.h"
#include "symbols/Analysis.h"
#include "symbols/Messages.h"
#include "symbols/SymbolCommands.h"

#include <algorithm>
#include <string>
#include <vector>

namespace runebin::cli {
namespace {

// Opens `path` for a change and finds the definition NAME selects (see FindSelected). Returns its
// index, or -1 after reporting why there is none.
int OpenAndFind(const Console& console, Document& document, const std::string& path,
                const Invocation& invocation) {
  if (!OpenDocument(console, document, path, Document::Lock::UntilWritten)) {
    return -1;
  }
  const int index = FindSelected(document.Drawing(), invocation);
  if (index < 0) {
    console.Fail(NoSuchSymbol(invocation.name, path));
  }
  return index;
}

// The end of a changing command: a dry run writes nothing and says so.
bool Finish(const Console& console, Document& document, const Invocation& invocation) {
  if (invocation.dryRun) {
    TellDryRun(console, document, invocation.output);
    return true;
  }
  return WriteBack(console, document, invocation.output);
}

// The names about to be deleted, one per line (escaped as list does), and their number: what a
// dry run of purge or delete shows.
void TellWouldDelete(const Console& console, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    console.Report(ListedName(name));
  }
  console.Report(std::to_string(names.size()) + " symbols would be deleted");
}

}  // namespace

bool SortFile(const Console& console, const std::string& path, const Invocation& invocation) {
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilWritten)) {
    return false;
  }
  SortSymbols(document.Drawing());
  return Finish(console, document, invocation);
}

bool PurgeFile(const Console& console, const std::string& path, const Invocation& invocation) {
  Document document("");
  if (!OpenDocument(console, document, path, Document::Lock::UntilWritten)) {
    return false;
  }
  const std::vector<bool> kept = SymbolsInUse(document.Drawing());
  std::vector<std::string> unused;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (!kept[i]) {
      unused.push_back(NameOf(document.Drawing().SymbolDefs().GetAt(static_cast<int>(i))));
    }
  }
  // A catalog places none of its symbols, so all of them count as unused: emptying it is almost
  // never what the user meant.
  if (!unused.empty() && unused.size() == kept.size() && !invocation.force) {
    console.Fail(messages::Quoted(path) + " places none of its symbols: purge would delete all " +
                 std::to_string(unused.size()) + " symbols.\nUse --force to delete them.");
    return false;
  }
  if (invocation.dryRun) {
    TellWouldDelete(console, unused);
    return true;
  }
  const int deleted = document.Drawing().KeepSymbols(kept);
  if (!WriteBack(console, document, invocation.output)) {
    return false;
  }
  console.Tell(messages::UnusedDeleted(deleted));
  return true;
}

bool RenameInFile(const Console& console, const Invocation& invocation) {
  Document document("");
  const std::string& path = invocation.files.front();
  // A rename changes names in place, so the new file is mostly the old one: its writing starts
  // while the file loads.
  if (!invocation.dryRun && invocation.name != invocation.newName) {
    document.WriteAheadTo(invocation.output ? *invocation.output : path);
  }
  const int index = OpenAndFind(console, document, path, invocation);
  if (index < 0) {
    return false;
  }
  const std::string oldName = NameOf(document.Drawing().SymbolDefs().GetAt(index));
  // Another definition of the new name would take over the references of both (a rename to the
  // same name changes nothing, also when another definition shares it).
  const EntityList& definitions = document.Drawing().SymbolDefs();
  const bool check = !invocation.force && oldName != invocation.newName;
  for (int i = 0; i < definitions.GetSize() && check; ++i) {
    const NamedEntity* other = definitions.GetAt(i).AsNamed();
    if (i != index && other != nullptr && other->IsNamed(invocation.newName)) {
      console.Fail(messages::AlreadyNamed(Shown(invocation.newName), path) +
                   "\nUse --force to rename anyway.");
      return false;
    }
  }
  // The same name again changes no byte, so nothing is written (see WriteBack) or reported.
  const int renamed = RenameSymbol(document.Drawing(), index, invocation.newName);
  if (!Finish(console, document, invocation)) {
    return false;
  }
  if (renamed > 0 && oldName != invocation.newName) {
    console.Tell(invocation.dryRun
                     ? std::to_string(renamed) + " references would be renamed"
                     : messages::RenameReport(renamed, Shown(oldName), Shown(invocation.newName)));
  }
  return true;
}

bool DeleteFromFile(const Console& console, const Invocation& invocation) {
  Document document("");
  const std::string& path = invocation.files.front();
  if (!OpenDocument(console, document, path, Document::Lock::UntilWritten)) {
    return false;
  }
  DrawingFile& drawing = document.Drawing();
  const int index = FindSelected(drawing, invocation);
  const std::string name = index >= 0 ? NameOf(drawing.SymbolDefs().GetAt(index)) : invocation.name;
  // What places the name once this definition is gone. Another definition of the name would be
  // the one placed then, and nothing would be left placing nothing.
  bool another = false;
  for (int i = 0; i < drawing.SymbolDefs().GetSize() && !another; ++i) {
    const NamedEntity* other = drawing.SymbolDefs().GetAt(i).AsNamed();
    another = i != index && other != nullptr && other->IsNamed(name);
  }
  const Uses left = another ? Uses{} : FindUses(drawing, name);
  const auto placers = std::count_if(
      left.placers.begin(), left.placers.end(),
      [&](const Placer& p) { return p.depth == 1 && (p.isGroup || p.index != index); });
  // With --references, a name whose definition is already gone still has references to remove.
  const bool onlyReferences = index < 0 && invocation.references && left.topLevel > 0;
  if (index < 0 && !onlyReferences) {
    console.Fail(NoSuchSymbol(invocation.name, path));
    return false;
  }
  if (invocation.dryRun) {
    TellWouldDelete(console, onlyReferences ? std::vector<std::string>{} : std::vector{name});
    if (invocation.references) {
      console.Report(std::to_string(left.topLevel) + " references would be removed");
    }
  } else {
    if (!onlyReferences) {
      DeleteSymbol(drawing, index);
    }
    const int removed = invocation.references ? drawing.RemoveReferences(name) : 0;
    if (!WriteBack(console, document, invocation.output)) {
      return false;
    }
    if (invocation.references) {
      console.Tell(messages::ReferencesRemoved(removed, Shown(name)));
    }
  }
  const std::string tense = invocation.dryRun ? " would " : " now ";
  const std::string quoted = messages::Quoted(Shown(name));
  if (left.topLevel > 0 && !invocation.references) {
    const bool dashed = path.starts_with('-') || Shown(name).starts_with('-');
    console.Fail("Warning: " + std::to_string(left.topLevel) + " references to " + quoted + tense +
                 "place nothing.\nUse runebin-cli delete " + (dashed ? "--references -- " : "") +
                 ShellWord(path) + " " + ShellWord(Shown(name)) + (dashed ? "" : " --references") +
                 " to remove them.");
  }
  if (placers > 0) {
    console.Fail("Warning: " + std::to_string(placers) + " symbols or groups that place " + quoted +
                 " from inside" + tense + "draw without it.");
  }
  return true;
}

int MoveInFile(const Console& console, const Invocation& invocation) {
  Document document("");
  const std::string& path = invocation.files.front();
  const int index = OpenAndFind(console, document, path, invocation);
  if (index < 0) {
    return kExitFailure;
  }
  const int last = document.Drawing().SymbolDefs().GetSize() - 1;
  if (*invocation.to > last) {
    PrintUsageError(
        console.err, Command::Move,
        "--to: " + messages::Quoted(path) + " has list indices 0 to " + std::to_string(last));
    return kExitUsage;
  }
  MoveSymbolTo(document.Drawing(), index, *invocation.to);
  return Finish(console, document, invocation) ? kExitSuccess : kExitFailure;
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
  if (!OpenDocument(console, from, fromPath, Document::Lock::WhileLoading)) {
    return false;
  }
  // Every NAME first, so that a missing one leaves TO alone; each definition once.
  std::vector<int> selected;
  for (const std::string& name : invocation.names) {
    const int index = FindSelected(from.Drawing(), name);
    if (index < 0) {
      console.Fail(NoSuchSymbol(name, fromPath));
      return false;
    }
    if (std::find(selected.begin(), selected.end(), index) == selected.end()) {
      selected.push_back(index);
    }
  }
  Document to("");
  if (!OpenDocument(console, to, toPath, Document::Lock::UntilWritten)) {
    return false;
  }
  // The same file by another spelling (./x, a link): the copy would replace what it came from.
  if (from.Identity() && to.Identity() && from.Identity()->SameFile(*to.Identity())) {
    console.Fail(messages::kSameFileTwice);
    return false;
  }
  const EntityList& sources = from.Drawing().SymbolDefs();
  for (const int index : selected) {
    const Entity& source = sources.GetAt(index);
    const int targetIndex = to.Drawing().SymbolDefs().FindByName(NameOf(source));
    if (targetIndex < 0) {
      AppendSymbolCopy(source, to.Drawing());
    } else if (invocation.replace) {
      ReplaceSymbolWithCopy(source, to.Drawing(), targetIndex);
    } else {
      console.Fail(messages::AlreadyNamed(Shown(NameOf(source)), toPath) +
                   "\nUse --replace to replace it.");
      return false;
    }
  }
  // The symbols the copied ones place from inside: along with them on request, else a warning for
  // each one that TO lacks, since TO would not draw them whole.
  std::vector<std::string> lacking;  // warnings
  std::vector<bool> seen(static_cast<std::size_t>(sources.GetSize()), false);
  for (const int index : selected) {
    seen[static_cast<std::size_t>(index)] = true;
  }
  int dependencies = 0;
  for (const int placer : selected) {
    for (const int index : Dependencies(from.Drawing(), placer)) {
      if (seen[static_cast<std::size_t>(index)]) {
        continue;
      }
      seen[static_cast<std::size_t>(index)] = true;
      const Entity& needed = sources.GetAt(index);
      const int existing = to.Drawing().SymbolDefs().FindByName(NameOf(needed));
      if (invocation.withDependencies && existing < 0) {
        AppendSymbolCopy(needed, to.Drawing());
        ++dependencies;
      } else if (invocation.withDependencies && invocation.replace) {
        ReplaceSymbolWithCopy(needed, to.Drawing(), existing);
        ++dependencies;
      } else if (existing < 0) {
        lacking.push_back("Warning: " + messages::Quoted(Shown(NameOf(sources.GetAt(placer)))) +
                          " places " + messages::Quoted(Shown(NameOf(needed))) + ", which " +
                          messages::Quoted(toPath) + " lacks (--with-dependencies copies it too)");
      }
    }
  }
  if (!Finish(console, to, invocation)) {
    return false;
  }
  if (invocation.withDependencies) {
    console.Tell(std::to_string(dependencies) +
                 (dependencies == 1 ? " symbol it places" : " symbols it places") +
                 (invocation.dryRun ? " would be copied too" : " copied too"));
  }
  for (const std::string& warning : lacking) {
    console.Fail(warning);
  }
  return true;
}

}  // namespace runebin::cli
