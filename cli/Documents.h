#pragma once

#include <optional>
#include <string>

#include "cli/Arguments.h"
#include "cli/Console.h"
#include "symbols/Document.h"

namespace runebin::cli {

// Opens `path` for a command, writing no entity listing file (the entities command prints the
// listing instead). A changing command keeps the file locked until it is written back
// (Lock::UntilWritten), so that no other program's change can come between and be lost; a
// reading command keeps it locked until it ends (Lock::UntilClosed), so the loaded bytes need no
// copy of their own; a second file that may be the same one is locked only while loading. On a
// refusal tells the user why, with the window program's words, and returns false. A damaged file
// opens, with a notice on stderr.
bool OpenDocument(const Console& console, Document& document, const std::string& path,
                  Document::Lock lock, DrawingFile::Scope scope = DrawingFile::Scope::Everything);

// The system's reason why `path` cannot be opened for reading, found by trying again;
// `ifReadableNow` when the second try succeeds.
std::string WhyNotReadable(const std::string& path, std::string_view ifReadableNow);

// Ends a changing command: writes the drawing to `output` when one was given (always), otherwise
// back to its path when something changed. A file that nothing changed is not touched. On a
// failed write tells the user and returns false; the file on disk is then as it was.
bool WriteBack(const Console& console, Document& document,
               const std::optional<std::string>& output);

// A name from a file (Windows-1252) as the terminal shows it (UTF-8).
std::string Shown(std::string_view name);
// A name as one column of a listing, or one line of a dry run: UTF-8, with the bytes that would
// break the line or the columns, or that stand for no character, spelled out (\t, \n, \r, \\,
// others \xHH).
std::string ListedName(std::string_view name);

// Ends a changing command that was asked for a dry run: says that nothing was written, and
// whether the write-back would have changed FILE (or written `output`).
void TellDryRun(const Console& console, const Document& document,
                const std::optional<std::string>& output);

// The definition that `name` selects: for "#N" the one at list index N, otherwise the last one of
// that name, as the window finds it; -1 when there is none.
int FindSelected(const DrawingFile& drawing, std::string_view name);
inline int FindSelected(const DrawingFile& drawing, const Invocation& invocation) {
  return FindSelected(drawing, invocation.name);
}

// A failed save's message with the system's reason after its first line, "...: reason".
std::string WithReason(std::string message, const SaveStatus& status);

// `text` as one word for a POSIX shell: as it is when it holds nothing the shell would read
// otherwise, else in single quotes.
std::string ShellWord(std::string_view text);

// The message for a NAME that the file does not define.
std::string NoSuchSymbol(const std::string& name, const std::string& path);

}  // namespace runebin::cli
