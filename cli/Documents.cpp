#include "cli/Documents.h"

#include "symbols/Messages.h"

namespace runebin::cli {

bool LoadDrawing(const Console& console, DrawingFile& drawing, const std::string& path) {
  const int result = drawing.Load(path);
  if (result != 0) {
    console.Fail(messages::LoadFailure(result, path));
    return false;
  }
  return true;
}

bool WriteBack(const Console& console, DrawingFile& drawing, const std::string& path,
               const std::optional<std::string>& output) {
  if (!output && !drawing.IsModified()) {
    return true;
  }
  const std::string& target = output ? *output : path;
  if (drawing.Save(target) != 0) {
    console.Fail(messages::SaveFailure(target));
    return false;
  }
  return true;
}

std::string NoSuchSymbol(const std::string& name, const std::string& path) {
  return "No symbol named " + messages::Quoted(name) + " in file " + messages::Quoted(path);
}

}  // namespace runebin::cli
