#pragma once

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "metafile/ImportResult.h"
#include "model/DrawingFile.h"
#include "platform/SaveResult.h"

namespace runebin::messages {

// The texts the program shows its user, shared by the window program and the command-line
// companion so that both say exactly the same thing. Each function fills its %d / %s places as
// printf would; a line break inside a text is '\n'.

inline std::string Quoted(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  quoted += text;
  quoted += '"';
  return quoted;
}

// An index that does not fit a symbol list; the operation stopped before it changed anything.
inline constexpr std::string_view kInvalidArgument = "An invalid argument was encountered.";

// --- Opening and writing back a drawing file ---------------------------------------------------

inline constexpr std::string_view kSameFileTwice = "Can't open the same file twice";

// What a refused load means to the user.
inline std::string LoadFailure(LoadResult result, std::string_view path) {
  switch (result) {
    case LoadResult::Loaded:
      return {};
    case LoadResult::OpenFailed:
      return "Error Opening file " + Quoted(path);
    case LoadResult::InUse:
      return Quoted(path) + " is in use by another program";
    case LoadResult::NotDrawing:
      return Quoted(path) + " does not appear to be a Korvel file";
    case LoadResult::WrongVersion:
      return Quoted(path) + " is not a version 6 Korvel file";
    case LoadResult::Compressed:
      return Quoted(path) +
             " is a compressed Korvel file,\n"
             "which can't be processed by this program.\n"
             "\n"
             "You can save the file as an uncompressed file by:\n"
             "   loading it into Korvel,\n"
             "   selecting Tools>>Options to bring up the Options dialog,\n"
             "   clicking the PVX,PVT,PVS button to bring up the Korvel PVX Drawing Options "
             "dialog,\n"
             "   deselecting the File compression checkbox,\n"
             "   clicking OK to dismiss the Korvel PVX Drawing Options dialog,\n"
             "   clicking OK to dismiss the Options dialog, and\n"
             "   saving the file. It will be uncompressed.";
  }
  return {};
}

// A file whose body could not be read to its end: loaded, but not all of it is shown.
inline std::string DamagedFile(std::string_view path, const DamagedTail& damage) {
  return std::string(path) + ": damaged at byte " + std::to_string(damage.offset) + "; the last " +
         std::to_string(damage.bytes) +
         " bytes are kept as they are, and symbols in them are not shown";
}

// Asked before writing over a file that changed on disk after it was opened.
inline std::string ChangedOnDiskQuestion(std::string_view path) {
  return Quoted(path) +
         " was changed by another program after it was opened.\n"
         "Replace it with the version shown here?";
}

// What a failed write-back means to the user. Every failure but one left the file as it was.
inline std::string SaveFailure(const SaveStatus& status, std::string_view path) {
  const std::string failed = "Can't write to file " + Quoted(path) + ".";
  switch (status.result) {
    case SaveResult::Saved:
      return {};
    case SaveResult::NothingLoaded:
    case SaveResult::NotWritable:
    case SaveResult::InUse:
    case SaveResult::ChangedOnDisk:
    case SaveResult::WriteFailed:
      return failed;
    case SaveResult::CopyKept:
      return failed + "\nIts original contents are kept in " + Quoted(status.keptCopy) + ".";
  }
  return failed;
}

// The system's reason a write-back failed, in its own words.
inline std::string SaveFailureReason(const SaveStatus& status) {
  if (status.error != 0) {
    return std::strerror(status.error);
  }
  switch (status.result) {
    case SaveResult::NotWritable:
      return "Read-only file";
    case SaveResult::InUse:
      return "In use by another program";
    case SaveResult::ChangedOnDisk:
      return "Changed by another program";
    default:
      return "Unknown error";
  }
}

// Asked when closing a file whose changes could not be written: No keeps it open with them.
inline std::string CloseUnsavedQuestion(const SaveStatus& status, std::string_view path) {
  std::string reason = SaveFailureReason(status);
  if (status.result == SaveResult::CopyKept) {
    reason += "\nIts original contents are kept in " + Quoted(status.keptCopy) + ".";
  }
  return "Can't write to file " + Quoted(path) + ".\n" + reason +
         "\nClose it anyway and lose the changes?";
}

// --- Symbol details ----------------------------------------------------------------------------

// A width or height as the details show it: two decimals, no minimum width, sign kept, rounded
// as printf's "%.2f" rounds. to_chars gives the same digits several times faster, which counts
// when `list` prints tens of thousands of them; printf still writes what is not a number.
inline std::string Dimension(double value) {
  char buffer[400];  // the largest double needs 309 digits before the point
  if (std::isfinite(value)) {
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (written.ec == std::errc{}) {
      return std::string(buffer, written.ptr);
    }
  }
  const int length = std::snprintf(buffer, sizeof buffer, "%0.2f", value);
  return length > 0 ? std::string(buffer, static_cast<std::size_t>(length)) : std::string();
}

// The three lines describing the selected symbol, each ended by a line break.
inline std::string SymbolDetails(int useCount, double width, double height) {
  return "Used " + std::to_string(useCount) + " times\nWidth: " + Dimension(width) +
         "\nHeight: " + Dimension(height) + "\n";
}

// --- Rename ------------------------------------------------------------------------------------

inline std::string RenameReport(int renamed, std::string_view oldName, std::string_view newName) {
  return std::to_string(renamed) + " references renamed from\n" + Quoted(oldName) + " to\n" +
         Quoted(newName) + ".";
}

// --- Copy --------------------------------------------------------------------------------------

inline constexpr std::string_view kCopyDirectionUnknown = "Something odd is happening internally";

// The statement that the target already holds the name, without the question that follows it.
inline std::string AlreadyNamed(std::string_view name, std::string_view targetPath) {
  return "There is already a symbol named\n" + Quoted(name) + "\nin file\n" + Quoted(targetPath) +
         ".";
}

inline std::string ReplaceQuestion(std::string_view name, std::string_view targetPath) {
  return AlreadyNamed(name, targetPath) + "\nReplace it?";
}

// --- Delete ------------------------------------------------------------------------------------

inline std::string DeleteQuestion(std::string_view name, int useCount) {
  return "Delete symbol " + Quoted(name) + " (Used " + std::to_string(useCount) + " times)?";
}

inline constexpr std::string_view kDeleteReferencesQuestion =
    "Delete all references to this symbol?";

// The report after removing references; a count of 0 has its own words.
inline std::string ReferencesRemoved(int removed, std::string_view name) {
  if (removed == 0) {
    return "No references found";
  }
  return std::to_string(removed) + " references to symbol " + Quoted(name) + " removed.";
}

inline std::string DeleteUnusedQuestion(std::string_view path) {
  return "Delete all unused symbols in " + Quoted(path) + "?";
}

inline std::string UnusedDeleted(int deleted) {
  return std::to_string(deleted) + " symbols deleted";
}

// --- Metafile import ---------------------------------------------------------------------------

// What a failed import means to the user.
inline std::string ImportFailure(ImportResult result, std::string_view path) {
  switch (result) {
    case ImportResult::Succeeded:
      return {};
    case ImportResult::OpenFailed:
      return "Error opening file " + Quoted(path);
    case ImportResult::ReadFailed:
      return "Error reading from file " + Quoted(path);
    case ImportResult::UnknownType:
      return "Unknown file type for " + Quoted(path);
    case ImportResult::NothingReturned:
      return "Internal error - WMF returned was 0";
    case ImportResult::NothingConverts:
      return Quoted(path) + " contains nothing that can be imported";
  }
  return "Unknown error opening " + Quoted(path);
}

// --- Refusals of a text field ------------------------------------------------------------------

inline constexpr std::string_view kNotANumber = "Please enter a number.";

inline std::string NumberOutOfRange(std::string_view low, std::string_view high) {
  return "Please enter a number between " + std::string(low) + " and " + std::string(high) + ".";
}

inline constexpr std::string_view kNotWindows1252 =
    "Please use only characters of the Windows Western (1252) character set.";

inline std::string TooManyCharacters(int limit) {
  return "Please enter no more than " + std::to_string(limit) + " characters.";
}

}  // namespace runebin::messages
