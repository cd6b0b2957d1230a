// new: an empty drawing or catalog, to fill with import and copy.

#include <filesystem>
#include <system_error>

#include "cli/Commands.h"
#include "cli/Documents.h"
#include "model/Format.h"
#include "platform/SafeFileWriter.h"
#include "symbols/Messages.h"

namespace runebin::cli {

bool NewFile(const Console& console, const std::string& path, bool dryRun) {
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    console.Fail(messages::Quoted(path) + " already exists");
    return false;
  }
  if (dryRun) {
    console.Tell("Dry run: nothing written; " + messages::Quoted(path) + " would be written");
    return true;
  }
  const auto header = NewFileHeader();
  platform::SafeFileWriter writer;
  platform::WriteOptions options;
  options.createOnly = true;  // nor one that another program makes meanwhile
  SaveStatus status = writer.Begin(path, options);
  if (status.Saved()) {
    writer.Write(header.data(), header.size());
    status = writer.Commit();
  }
  if (!status.Saved()) {
    console.Fail(WithReason(messages::SaveFailure(status, path), status));
    return false;
  }
  return true;
}

}  // namespace runebin::cli
