#include "packaging/Completion.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "packaging/FileKinds.h"

namespace runebin::packaging {
namespace {

// The words of one form of a synopsis ("FILE NAME [-o OUT.svg]" gives FILE, NAME, -o, OUT.svg),
// each with the bracket group it stands in (0: none).
struct Word {
  std::string text;
  int group;
};

std::vector<std::vector<Word>> Forms(const std::string& synopsis) {
  std::vector<std::vector<Word>> forms(1);
  std::string text;
  int depth = 0;
  int groups = 0;
  int group = 0;
  const auto flush = [&] {
    if (!text.empty()) {
      forms.back().push_back({text, depth > 0 ? group : 0});
      text.clear();
    }
  };
  for (const char c : synopsis) {
    if (c == ' ' || c == '[' || c == ']' || c == '|') {
      flush();
      if (c == '[' && depth++ == 0) {
        group = ++groups;
      } else if (c == ']' && depth > 0) {
        --depth;
      } else if (c == '|' && depth == 0) {
        forms.emplace_back();  // another form of the command
      }
    } else {
      text += c;
    }
  }
  flush();
  return forms;
}

const OptionEntry* Find(const HelpText& help, const std::string& name) {
  for (const OptionEntry* entry : AllOptions(help)) {
    if (std::find(entry->names.begin(), entry->names.end(), name) != entry->names.end()) {
      return entry;
    }
  }
  return nullptr;
}

void AddUnique(std::vector<std::string>& list, const std::string& item) {
  if (std::find(list.begin(), list.end(), item) == list.end()) {
    list.push_back(item);
  }
}

std::string Joined(const std::vector<std::string>& list, const char* separator) {
  std::string joined;
  for (const std::string& item : list) {
    joined += (joined.empty() ? "" : separator) + item;
  }
  return joined;
}

// What one command's case in the script sets.
struct CommandCompletion {
  std::vector<std::string> options;
  std::vector<std::string> values;  // "OPTION=KIND,KIND"
  std::vector<std::string> positions;
  bool repeatsLast = false;
};

CommandCompletion ForCommand(const HelpText& help, const CommandEntry& command) {
  CommandCompletion result;
  std::vector<std::pair<std::string, std::vector<std::string>>> values;
  const auto addValue = [&](const std::string& option, const std::string& kind) {
    auto found = std::find_if(values.begin(), values.end(),
                              [&](const auto& row) { return row.first == option; });
    if (found == values.end()) {
      values.push_back({option, {kind}});
    } else {
      AddUnique(found->second, kind);
    }
  };
  const std::vector<std::vector<Word>> forms = Forms(command.synopsis);
  for (std::size_t f = 0; f < forms.size(); ++f) {
    const std::vector<Word>& words = forms[f];
    for (std::size_t i = 0; i < words.size(); ++i) {
      const std::string& text = words[i].text;
      if (text.size() > 1 && text[0] == '-') {
        const OptionEntry* entry = Find(help, text);
        std::vector<std::string> names = entry ? entry->names : std::vector<std::string>{text};
        // The value shown in the synopsis, else the one the options section gives.
        std::string value = entry ? entry->argument : "";
        // Inside brackets the value stands in the same pair; outside, only options that take
        // one are followed by it.
        const bool shown = i + 1 < words.size() && words[i + 1].text[0] != '-' &&
                           (words[i].group != 0 ? words[i + 1].group == words[i].group
                                                : !entry || !entry->argument.empty());
        if (shown) {
          value = words[++i].text;
        }
        for (const std::string& name : names) {
          AddUnique(result.options, name);
          if (!value.empty()) {
            addValue(name, KindOf(value, true));
          }
        }
      } else if (f == 0 && words[i].group == 0) {
        result.positions.push_back(KindOf(text, false));
        result.repeatsLast = text.ends_with("...");
      }
    }
  }
  for (const OptionEntry* entry : AllOptions(help)) {
    if (entry->everyCommand) {
      for (const std::string& name : entry->names) {
        if (name != "--") {
          AddUnique(result.options, name);
        }
      }
    }
  }
  for (auto& [option, kinds] : values) {
    // Files of an extension are offered with the folders on the way to them.
    if (std::any_of(kinds.begin(), kinds.end(),
                    [](const std::string& k) { return k.starts_with("ext:"); })) {
      std::erase(kinds, "dir");
    }
    result.values.push_back(option + "=" + Joined(kinds, ","));
  }
  return result;
}

std::string FunctionName(const std::string& program) {
  std::string name = "_";
  for (const char c : program) {
    name += std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
  }
  return name;
}

// The part of the script that does not depend on the commands: walking the words typed so far,
// and offering the words of a kind.
constexpr const char* kEngine = R"BASH(
# Offers the words of each KIND in $2 (comma-separated) that begin with $cur; $1 is the first
# argument typed, whose symbols "symbol" offers.
_RUNEBIN_offer() {
  local first=$1 kind IFS=$'\n' saved
  local -a kinds
  IFS=, read -r -a kinds <<<"$2"
  for kind in "${kinds[@]}"; do
    case $kind in
      ext:*)
        saved=$(shopt -p extglob)
        shopt -s extglob
        COMPREPLY+=($(compgen -f -X "!*.@(${kind#ext:})" -- "$cur") $(compgen -d -- "$cur"))
        eval "$saved"
        compopt -o filenames 2>/dev/null
        ;;
      dir)
        COMPREPLY+=($(compgen -d -- "$cur"))
        compopt -o filenames 2>/dev/null
        ;;
      words:*)
        IFS='|' read -r -a words <<<"${kind#words:}"
        COMPREPLY+=($(compgen -W "${words[*]}" -- "$cur"))
        ;;
      symbol)
        [[ -f $first ]] || continue
        local name
        while IFS=$'\t' read -r _ name _; do
          [[ $name == "$cur"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
        done < <(PROGRAM list -- "$first" 2>/dev/null)
        ;;
    esac
  done
}

_RUNEBIN() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  # The command, after any -q that comes before it.
  local at=1
  while ((at < COMP_CWORD)) && [[ ${COMP_WORDS[at]} == -q || ${COMP_WORDS[at]} == --quiet ]]; do
    ((at++))
  done
  if ((COMP_CWORD == at)); then
    COMPREPLY=($(compgen -W 'FIRST_WORDS' -- "$cur"))
    return 0
  fi
  local options='' values='' repeats=0
  local -a positions=()
  case ${COMP_WORDS[at]} in
CASES
    *) return 0 ;;
  esac
  # Walk the words before the cursor: options (and the values they take) and arguments.
  local i word expect='' ended=0 first=''
  local -a arguments=()
  for ((i = at + 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ -n $expect ]]; then
      expect=''
    elif ((!ended)) && [[ $word == -- ]]; then
      ended=1
    elif ((!ended)) && [[ $word == -?* ]]; then
      [[ $word != *=* && " $values " == *" $word="* ]] && expect=$word
    else
      arguments+=("$word")
    fi
  done
  first=${arguments[0]-}
  if [[ -n $expect ]]; then
    local kinds=" $values "
    kinds=${kinds#*" $expect="}
    _RUNEBIN_offer "$first" "${kinds%% *}"
    return 0
  fi
  if ((!ended)) && [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return 0
  fi
  local position=${#arguments[@]}
  if ((position >= ${#positions[@]})); then
    ((repeats && ${#positions[@]} > 0)) || return 0
    position=$((${#positions[@]} - 1))
  fi
  _RUNEBIN_offer "$first" "${positions[position]}"
}
complete -F _RUNEBIN PROGRAM
)BASH";

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

}  // namespace

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  }
  return quoted + "'";
}

std::string BashCompletion(const std::string& program, const HelpText& help) {
  std::vector<std::string> firstWords;
  for (const CommandEntry& command : help.commands) {
    firstWords.push_back(command.name);
  }
  for (const std::string& usage : help.usage) {
    for (const std::string& option : OptionsIn(usage)) {
      AddUnique(firstWords, option);
    }
  }
  std::string cases;
  for (const CommandEntry& command : help.commands) {
    const CommandCompletion completion = ForCommand(help, command);
    std::ostringstream row;
    row << "    " << command.name << ")\n"
        << "      options=" << ShellQuoted(Joined(completion.options, " ")) << "\n"
        << "      values=" << ShellQuoted(Joined(completion.values, " ")) << "\n"
        << "      positions=(";
    for (std::size_t i = 0; i < completion.positions.size(); ++i) {
      row << (i == 0 ? "" : " ") << ShellQuoted(completion.positions[i]);
    }
    row << ")\n"
        << "      repeats=" << (completion.repeatsLast ? 1 : 0) << "\n"
        << "      ;;\n";
    cases += row.str();
  }
  std::string script = "# bash completion for " + program + "; generated from \"" + program +
                       " --help\" when the program is built.\n";
  script += kEngine;
  ReplaceAll(script, "_RUNEBIN", FunctionName(program));
  ReplaceAll(script, "FIRST_WORDS", Joined(firstWords, " "));
  ReplaceAll(script, "CASES\n", cases);
  ReplaceAll(script, "PROGRAM", program);
  return script;
}

}  // namespace runebin::packaging
