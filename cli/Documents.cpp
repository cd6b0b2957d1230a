#include "cli/Documents.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "cli/Usage.h"
#include "platform/RegularFile.h"
#include "symbols/Messages.h"
#include "symbols/Windows1252.h"

namespace runebin::cli {

std::string WhyNotReadable(const std::string& path, std::string_view ifReadableNow) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    return std::strerror(EISDIR);
  }
  errno = 0;
  // Never waits: a pipe or device is refused without being opened for good.
  const int fd = platform::OpenRegularFile(path);
  if (fd >= 0) {
    ::close(fd);
    return std::string(ifReadableNow);
  }
  if (errno == ENODEV) {
    return "Not a regular file";
  }
  return errno != 0 ? std::strerror(errno) : "cannot be opened";
}

bool OpenDocument(const Console& console, Document& document, const std::string& path,
                  Document::Lock lock, DrawingFile::Scope scope) {
  const LoadResult result = document.Open(path, false, lock, scope);
  if (result != LoadResult::Loaded) {
    // A file another program holds is told like the other files that cannot be opened: the
    // message, then the reason.
    constexpr std::string_view kInUse = "in use by another program";
    std::string message = messages::LoadFailure(result, path);
    if (result == LoadResult::InUse) {
      message = messages::LoadFailure(LoadResult::OpenFailed, path) + ": " + std::string(kInUse);
    } else if (result == LoadResult::OpenFailed) {
      // Readable now: something held it a moment ago.
      message += ": " + WhyNotReadable(path, kInUse);
    }
    console.Fail(message);
    return false;
  }
  if (const std::optional<DamagedTail> damage = document.Drawing().Damage()) {
    console.Fail(messages::DamagedFile(path, *damage));
  }
  return true;
}

bool WriteBack(const Console& console, Document& document,
               const std::optional<std::string>& output) {
  const SaveStatus status = document.WriteBack(output);
  if (!status.Saved()) {
    console.Fail(
        WithReason(messages::SaveFailure(status, output ? *output : document.Path()), status));
    return false;
  }
  return true;
}

std::string Shown(std::string_view name) {
  return Windows1252ToUtf8(name);
}

std::string ListedName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  std::size_t plainFrom = 0;
  const auto flush = [&](std::size_t upTo) {
    text += Shown(name.substr(plainFrom, upTo - plainFrom));
  };
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte >= 0x20 && byte != 0x7F && byte != '\\' && !IsUndefinedInWindows1252(byte)) {
      continue;
    }
    flush(i);
    plainFrom = i + 1;
    switch (byte) {
      case '\t':
        text += "\\t";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\\':
        text += "\\\\";
        break;
      default:
        text += "\\x";
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
    }
  }
  flush(name.size());
  return text;
}

void TellDryRun(const Console& console, const Document& document,
                const std::optional<std::string>& output) {
  const std::string target = messages::Quoted(output ? *output : document.Path());
  console.Tell("Dry run: nothing written; " + target +
               (document.WouldWrite(output) ? (output ? " would be written" : " would change")
                                            : " would stay as it is"));
}

// A failed save's message with the system's reason after its first line, "...: reason".
std::string WithReason(std::string message, const SaveStatus& status) {
  std::string reason;
  if (status.result == SaveResult::InUse) {
    reason = "in use by another program";
  } else if (status.result == SaveResult::ChangedOnDisk) {
    reason = "changed by another program since it was read";
  } else if (status.error != 0) {
    reason = std::strerror(status.error);
  }
  if (reason.empty()) {
    return message;
  }
  std::size_t end = std::min(message.find('\n'), message.size());
  if (end > 0 && message[end - 1] == '.') {
    message.erase(--end, 1);
  }
  return message.insert(end, ": " + reason);
}

int FindSelected(const DrawingFile& drawing, std::string_view name) {
  if (const std::optional<int> index = ListIndexOf(name)) {
    return *index >= 0 && *index < drawing.SymbolDefs().GetSize() ? *index : -1;
  }
  return drawing.SymbolDefs().FindByName(name);
}

std::string ShellWord(std::string_view text) {
#ifdef _WIN32
  constexpr std::string_view kPlain = "_./+:,=@%-\\";  // paths keep their backslashes
  constexpr char kQuote = '"';                         // file names cannot hold one
#else
  constexpr std::string_view kPlain = "_./+:,=@%-";
  constexpr char kQuote = '\'';
#endif
  const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [&](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) != 0 || byte >= 0x80 || kPlain.find(c) != std::string_view::npos;
  });
  if (plain) {
    return std::string(text);
  }
  std::string word(1, kQuote);
  for (const char c : text) {
    word += c == kQuote ? std::string{kQuote, '\\', kQuote, kQuote} : std::string(1, c);
  }
  return word + kQuote;
}

std::string NoSuchSymbol(const std::string& name, const std::string& path) {
  return "No symbol named " + messages::Quoted(Shown(name)) + " in file " + messages::Quoted(path);
}

}  // namespace runebin::cli
