#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Only the result-code constants of the model and of the metafile import (header-only).
#include "metafile/ImportResult.h"
#include "model/DrawingFile.h"

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

// What a refused load means to the user; `loadResult` is one of DrawingFile's Load results.
inline std::string LoadFailure(int loadResult, std::string_view path) {
  switch (loadResult) {
    case LoadNotDrawing:
      return Quoted(path) + " does not appear to be a Korvel file";
    case LoadWrongVersion:
      return Quoted(path) + " is not a version 6 Korvel file";
    case LoadCompressed:
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
    case LoadOpenFailed:
    default:
      return "Error Opening file " + Quoted(path);
  }
}

inline std::string SaveFailure(std::string_view path) {
  return "Can't write to file " + Quoted(path) + ".";
}

// --- Symbol details ----------------------------------------------------------------------------

// A width or height as the details show it: two decimals, no minimum width, sign kept.
inline std::string Dimension(double value) {
  char buffer[400];  // the largest double needs 309 digits before the point
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

inline constexpr std::string_view kImportReturnedNothing = "Internal error - WMF returned was 0";

// What a failed import means to the user; `importResult` is one of ImportMetafile's failures.
inline std::string ImportFailure(int importResult, std::string_view path) {
  switch (importResult) {
    case ImportOpenFailed:
      return "Error opening file " + Quoted(path);
    case ImportReadFailed:
      return "Error reading from file " + Quoted(path);
    case ImportUnknownType:
      return "Unknown file type for " + Quoted(path);
    default:
      return "Unknown error opening " + Quoted(path);
  }
}

// --- Refusals of a text field ------------------------------------------------------------------

inline constexpr std::string_view kNotANumber = "Please enter a number.";

inline std::string NumberOutOfRange(std::string_view low, std::string_view high) {
  return "Please enter a number between " + std::string(low) + " and " + std::string(high) + ".";
}

inline std::string TooManyCharacters(int limit) {
  return "Please enter no more than " + std::to_string(limit) + " characters.";
}

}  // namespace runebin::messages
