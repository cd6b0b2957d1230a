#include "cli/Documents.h"

#include "cli/Usage.h"
#include "symbols/Messages.h"
#include "symbols/Windows1252.h"

namespace runebin::cli {

bool OpenDocument(const Console& console, Document& document, const std::string& path,
                  bool forChange) {
  const LoadResult result = document.Open(
      path, false, forChange ? Document::Lock::UntilWritten : Document::Lock::WhileLoading);
  if (result != LoadResult::Loaded) {
    console.Fail(messages::LoadFailure(result, path));
    return false;
  }
  if (const std::optional<DamagedTail> damage = document.Drawing().Damage()) {
    console.Fail(std::string(kProgramName) + ": " + messages::DamagedFile(path, *damage));
  }
  return true;
}

bool WriteBack(const Console& console, Document& document,
               const std::optional<std::string>& output) {
  const SaveStatus status = document.WriteBack(output);
  if (!status.Saved()) {
    console.Fail(messages::SaveFailure(status, output ? *output : document.Path()));
    return false;
  }
  return true;
}

std::string Shown(std::string_view name) {
  return Windows1252ToUtf8(name);
}

void TellDryRun(const Console& console, const std::string& path) {
  console.Tell("Dry run: " + messages::Quoted(path) + " not written");
}

std::string NoSuchSymbol(const std::string& name, const std::string& path) {
  return "No symbol named " + messages::Quoted(Shown(name)) + " in file " + messages::Quoted(path);
}

}  // namespace runebin::cli
