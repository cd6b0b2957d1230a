#include "cli/Arguments.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

#include "symbols/Messages.h"
#include "symbols/Windows1252.h"

namespace runebin::cli {
namespace {

struct OptionInfo {
  std::string_view name;
  Option bit;
  bool takesValue;
};

constexpr std::array kOptions = {
    OptionInfo{"--output", kOptOutput, true},
    OptionInfo{"--references", kOptReferences, false},
    OptionInfo{"--replace", kOptReplace, false},
    OptionInfo{"--name", kOptName, true},
    OptionInfo{"--max-size", kOptMaxSize, true},
    OptionInfo{"-o", kOptOutput, true},
    OptionInfo{"--size", kOptSize, true},
    OptionInfo{"--all", kOptAll, false},
    OptionInfo{"--format", kOptFormat, true},
    OptionInfo{"--with-dependencies", kOptWithDependencies, false},
    OptionInfo{"--allow-empty", kOptAllowEmpty, false},
    OptionInfo{"--force", kOptForce, false},
    OptionInfo{"--dry-run", kOptDryRun, false},
    OptionInfo{"--quiet", kOptQuiet, false},
    OptionInfo{"-q", kOptQuiet, false},
    OptionInfo{"--to", kOptTo, true},
    OptionInfo{"--skip-existing", kOptSkipExisting, false},
};

const OptionInfo* FindOption(std::string_view name) {
  for (const OptionInfo& option : kOptions) {
    if (option.name == name) {
      return &option;
    }
  }
  return nullptr;
}

bool IsHelp(std::string_view argument) {
  return argument == "--help" || argument == "-h";
}

bool LooksLikeOption(std::string_view argument) {
  return argument.size() > 1 && argument.front() == '-';
}

ParsedCommandLine UsageError(std::optional<Command> command, std::string problem) {
  ParsedCommandLine result;
  result.kind = ParsedCommandLine::Kind::UsageError;
  result.command = command;
  result.problem = std::move(problem);
  return result;
}

// The name of the positional argument at `index` as the synopsis spells it ("FILE", "OLD").
std::string ArgumentName(const CommandInfo& info, std::size_t index) {
  std::string_view rest = info.synopsis;
  for (std::size_t i = 0;; ++i) {
    const auto end = rest.find(' ');
    std::string_view word = rest.substr(0, end);
    if (word.empty() || word.front() == '[') {
      return "argument";
    }
    if (word.ends_with("...")) {
      return std::string(word.substr(0, word.size() - 3));
    }
    if (i == index) {
      return std::string(word);
    }
    if (end == std::string_view::npos) {
      return "argument";
    }
    rest.remove_prefix(end + 1);
  }
}

// Converts a NAME argument (UTF-8) to the bytes the file stores (Windows-1252). `what` says
// which argument it is in the problem. A name to look up may hold anything the code page has;
// a name to give (`forNew`) must be a printable one of 1 to 31 characters.
std::optional<std::string> ConvertName(std::string_view what, std::string& name, bool forNew) {
  std::optional<std::string> bytes = Utf8ToWindows1252(name);
  if (!bytes) {
    const std::string shown = ValidUtf8(name);
    return std::string(what) + ": \"" + shown + "\"" +
           (shown == name ? " has a character that Windows-1252 lacks" : " is not UTF-8 text");
  }
  name = std::move(*bytes);
  if (!forNew && ListIndexOf(name)) {
    return std::nullopt;  // "#N": an index, resolved with the file (see FindSelected)
  }
  if (name.size() > static_cast<std::size_t>(kMaxSymbolNameLength)) {
    return std::string(what) + ": " + messages::TooManyCharacters(kMaxSymbolNameLength);
  }
  if (!forNew) {
    return std::nullopt;
  }
  if (name.empty()) {
    return std::string(what) + ": a name is needed";
  }
  if (ListIndexOf(name)) {
    return std::string(what) + ": \"" + name + "\" would be taken for a list index";
  }
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || IsUndefinedInWindows1252(byte)) {
      return std::string(what) + ": control characters are not allowed in a name";
    }
  }
  return std::nullopt;
}

// An import's name when --name gives none: the metafile's file name without its extension (UTF-8,
// as typed; the caller converts it and cuts it to 31 characters).
std::string DefaultImportName(std::string_view metafile) {
  std::string name = FileNameOf(metafile);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  return name;
}

std::string FormatBound(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, end.ptr);
}

// Applies one option of `info`'s command. Returns a problem, or nothing when all is well.
std::optional<std::string> ApplyOption(const OptionInfo& option, const std::string& value,
                                       Invocation& invocation) {
  switch (option.bit) {
    case kOptOutput:
      invocation.output = value;
      break;
    case kOptReferences:
      invocation.references = true;
      break;
    case kOptReplace:
      invocation.replace = true;
      break;
    case kOptAllowEmpty:
      invocation.allowEmpty = true;
      break;
    case kOptName:
      invocation.name = value;
      break;
    case kOptMaxSize: {
      const std::optional<double> number = ParseNumber(value);
      if (!number) {
        return "--max-size: " + std::string(messages::kNotANumber);
      }
      if (*number < kLowestMaxSize || *number > kHighestMaxSize) {
        return "--max-size: " + messages::NumberOutOfRange(FormatBound(kLowestMaxSize),
                                                           FormatBound(kHighestMaxSize));
      }
      invocation.maxSize = static_cast<float>(*number);
      break;
    }
    case kOptSize: {
      const std::optional<double> number = ParseNumber(value);
      if (!number || *number < 1 || *number > kLargestPictureSize || *number != int(*number)) {
        return "--size: a whole number of pixels from 1 to " + std::to_string(kLargestPictureSize) +
               " is needed";
      }
      invocation.size = static_cast<int>(*number);
      break;
    }
    case kOptAll:
      invocation.all = true;
      break;
    case kOptFormat:
      if (value != "json" && value != "text") {
        return "--format: \"text\" or \"json\" is needed";
      }
      invocation.json = value == "json";
      break;
    case kOptWithDependencies:
      invocation.withDependencies = true;
      break;
    case kOptForce:
      invocation.force = true;
      break;
    case kOptDryRun:
      invocation.dryRun = true;
      break;
    case kOptSkipExisting:
      invocation.skipExisting = true;
      break;
    case kOptQuiet:
      invocation.quiet = true;
      break;
    case kOptTo: {
      const std::optional<double> number = ParseNumber(value);
      if (!number || *number < 0 || *number >= 1e9 || *number != int(*number)) {
        return std::string("--to: a list index (a whole number from 0) is needed");
      }
      invocation.to = static_cast<int>(*number);
      break;
    }
  }
  return std::nullopt;
}

// Puts the positional arguments where the command expects them and checks the names.
std::optional<std::string> AssignPositionals(const CommandInfo& info,
                                             std::vector<std::string> positionals,
                                             bool nameOptionGiven, Invocation& invocation) {
  switch (info.command) {
    case Command::List:
    case Command::Entities:
    case Command::Sort:
    case Command::Purge:
      invocation.files = std::move(positionals);
      if (invocation.output && invocation.files.size() > 1) {
        return std::string("--output takes a single FILE");
      }
      return std::nullopt;
    case Command::Rename:
      invocation.files = {positionals[0]};
      invocation.name = positionals[1];
      invocation.newName = positionals[2];
      if (auto problem = ConvertName("OLD", invocation.name, false)) {
        return problem;
      }
      return ConvertName("NEW", invocation.newName, true);
    case Command::Move:
      if (!invocation.to) {
        return std::string("missing --to N");
      }
      [[fallthrough]];
    case Command::Delete:
      invocation.files = {positionals[0]};
      invocation.name = positionals[1];
      return ConvertName("NAME", invocation.name, false);
    case Command::Copy:
      invocation.files = {positionals[0], positionals[1]};
      invocation.names.assign(positionals.begin() + 2, positionals.end());
      for (std::string& name : invocation.names) {
        if (auto problem = ConvertName("NAME", name, false)) {
          return problem;
        }
      }
      return std::nullopt;
    case Command::Import:
      invocation.files = {positionals[0]};
      invocation.metafiles.assign(positionals.begin() + 1, positionals.end());
      if (nameOptionGiven && invocation.metafiles.size() > 1) {
        return std::string("--name takes a single WMF");
      }
      if (invocation.replace && invocation.skipExisting) {
        return std::string("--replace and --skip-existing exclude each other");
      }
      for (const std::string& metafile : invocation.metafiles) {
        std::string name = invocation.name;
        if (!nameOptionGiven) {
          // The metafile's file name, cut to what the name field holds.
          std::optional<std::string> bytes = Utf8ToWindows1252(DefaultImportName(metafile));
          if (!bytes) {
            return "NAME: \"" + ValidUtf8(FileNameOf(metafile)) +
                   "\" has a character that Windows-1252 lacks (--name gives another)";
          }
          bytes->resize(std::min(bytes->size(), std::size_t{kMaxSymbolNameLength}));
          name = Windows1252ToUtf8(*bytes);
        }
        if (auto problem = ConvertName("NAME", name, true)) {
          return problem;
        }
        invocation.names.push_back(std::move(name));
      }
      return std::nullopt;
    case Command::Render:
      invocation.files = {positionals[0]};
      if (invocation.all) {
        if (positionals.size() > 1) {
          return "--all takes no NAME";
        }
        if (!invocation.output) {
          return std::string("--all needs -o FOLDER");
        }
        return std::nullopt;
      }
      if (positionals.size() < 2) {
        return std::string("missing NAME");
      }
      invocation.name = positionals[1];
      return ConvertName("NAME", invocation.name, false);
    case Command::Check:
    case Command::New:
      invocation.files = std::move(positionals);
      return std::nullopt;
    case Command::Uses:
      invocation.files = {positionals[0]};
      invocation.name = positionals[1];
      return ConvertName("NAME", invocation.name, false);
    case Command::Diff:
      invocation.files = {positionals[0], positionals[1]};
      return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
  // from_chars would also take "inf" and "nan"; a number starts with a digit, a point or a minus.
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text.front())) != 0 ||
                        text.front() == '.' || text.front() == '-')) {
    return std::nullopt;
  }
  if (text.front() == '-' && text.size() > 1 &&
      std::isalpha(static_cast<unsigned char>(text[1])) != 0) {
    return std::nullopt;  // "-inf", "-nan"
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (end != text.data() + text.size()) {
    return std::nullopt;
  }
  if (error == std::errc::result_out_of_range) {
    return HUGE_VAL;  // beyond a double: far outside any range we accept (or tiny; refuse both)
  }
  if (error != std::errc()) {
    return std::nullopt;
  }
  return value;
}

std::optional<int> ListIndexOf(std::string_view name) {
  if (name.size() < 2 || name.front() != '#' ||
      name.find_first_not_of("0123456789", 1) != std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<double> number = ParseNumber(name.substr(1));
  return *number < 1e9 ? static_cast<int>(*number) : -1;
}

std::string FileNameOf(std::string_view path) {
#ifdef _WIN32
  const auto slash = path.find_last_of("/\\:");
#else
  const auto slash = path.find_last_of('/');
#endif
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

ParsedCommandLine ParseCommandLine(std::span<const std::string> arguments) {
  // -q may also come before the command, as every command takes it.
  bool quiet = false;
  while (!arguments.empty() && (arguments.front() == "-q" || arguments.front() == "--quiet")) {
    quiet = true;
    arguments = arguments.subspan(1);
  }
  if (arguments.empty()) {
    return UsageError(std::nullopt, "no command given");
  }
  const std::string& first = arguments.front();
  if (IsHelp(first)) {
    ParsedCommandLine result;
    result.kind = ParsedCommandLine::Kind::Help;
    return result;
  }
  if (first == "--version" || first == "-V") {
    ParsedCommandLine result;
    result.kind = ParsedCommandLine::Kind::Version;
    return result;
  }
  const CommandInfo* info = FindCommand(first);
  if (info == nullptr) {
    return UsageError(
        std::nullopt,
        (LooksLikeOption(first) ? "unknown option \"" : "unknown command \"") + first + "\"");
  }

  const auto rest = arguments.subspan(1);
  for (const std::string& argument : rest) {
    if (argument == "--") {
      break;
    }
    if (IsHelp(argument)) {
      ParsedCommandLine result;
      result.kind = ParsedCommandLine::Kind::Help;
      result.command = info->command;
      return result;
    }
  }

  ParsedCommandLine result;
  result.kind = ParsedCommandLine::Kind::Run;
  result.command = info->command;
  Invocation& invocation = result.invocation;
  invocation.command = info->command;
  invocation.quiet = quiet;
  std::vector<std::string> positionals;
  bool optionsEnded = false;
  bool nameOptionGiven = false;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const std::string& argument = rest[i];
    if (optionsEnded || !LooksLikeOption(argument)) {
      positionals.push_back(argument);
      continue;
    }
    if (argument == "--") {
      optionsEnded = true;
      continue;
    }
    // A long option's value may follow "=" ("--output=PATH"), a short one's may follow at once
    // ("-oPATH").
    std::string optionName = argument;
    std::optional<std::string> attached;
    const OptionInfo* shortOption =
        argument[1] != '-' ? FindOption(argument.substr(0, 2)) : nullptr;
    if (shortOption != nullptr && shortOption->takesValue && argument.size() > 2) {
      optionName = argument.substr(0, 2);
      attached = argument.substr(2);
    } else if (const auto equals = argument.find('='); equals != std::string::npos) {
      optionName = argument.substr(0, equals);
      attached = argument.substr(equals + 1);
    }
    const OptionInfo* option = FindOption(optionName);
    if (option == nullptr) {
      return UsageError(info->command, "unknown option \"" + optionName + "\"");
    }
    if ((info->options & option->bit) == 0 && option->bit != kOptQuiet) {
      return UsageError(info->command, std::string(info->name) + " takes no option " + optionName);
    }
    std::string value;
    if (attached) {
      if (!option->takesValue) {
        return UsageError(info->command, optionName + " takes no value");
      }
      value = std::move(*attached);
    } else if (option->takesValue) {
      if (i + 1 >= rest.size()) {
        return UsageError(info->command, optionName + " needs a value");
      }
      value = rest[++i];
    }
    if (auto problem = ApplyOption(*option, value, invocation)) {
      return UsageError(info->command, std::move(*problem));
    }
    nameOptionGiven = nameOptionGiven || option->bit == kOptName;
  }

  const auto count = static_cast<int>(positionals.size());
  if (count < info->minArguments) {
    return UsageError(info->command, "missing " + ArgumentName(*info, positionals.size()));
  }
  if (info->maxArguments != kAnyNumber && count > info->maxArguments) {
    return UsageError(info->command, "unexpected argument \"" +
                                         positionals[static_cast<std::size_t>(info->maxArguments)] +
                                         "\"");
  }
  if (auto problem =
          AssignPositionals(*info, std::move(positionals), nameOptionGiven, invocation)) {
    return UsageError(info->command, std::move(*problem));
  }
  return result;
}

}  // namespace runebin::cli
