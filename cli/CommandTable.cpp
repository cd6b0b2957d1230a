#include "cli/CommandTable.h"

#include <array>

namespace runebin::cli {
namespace {

constexpr std::array kCommands = {
    CommandInfo{Command::List, "list", "FILE... [--format json]",
                "list the symbol definitions: index, name, use count, width, height",
                "Prints one line per symbol definition, in the file's order, with five fields\n"
                "separated by tabs: the index from 0, the name, the number of references that\n"
                "place it, its width and its height (two decimals).\n"
                "With --format json, one JSON array instead, with an object per FILE:\n"
                "{\"file\": ..., \"symbols\": [{\"index\", \"name\", \"uses\", \"nestedUses\",\n"
                "\"width\", \"height\"}]}, where nestedUses counts the references inside other\n"
                "symbols and groups, and a width or height that is no number is null.\n",
                1, kAnyNumber, kOptFormat, true},
    CommandInfo{Command::Entities, "entities", "FILE...",
                "print the entity listing: index, type and subtype of every top-level record",
                "Prints a heading and one line per top-level record of the file, in file order:\n"
                "its index, its type and (for type-0 records) its subtype.\n",
                1, kAnyNumber, 0, true},
    CommandInfo{Command::New, "new", "FILE... [--dry-run]", "write an empty drawing or catalog",
                "Writes each FILE as an empty file (the 128-byte version 6 header, no records).\n"
                "An existing FILE is refused and left as it is.\n",
                1, kAnyNumber, kOptDryRun, false},
    CommandInfo{Command::Sort, "sort", "FILE... [--dry-run] [--output PATH]",
                "sort the symbols by name",
                "Sorts the symbol definitions by name, byte by byte (upper-case letters before\n"
                "lower-case ones). A file already in order is left as it is.\n",
                1, kAnyNumber, kOptOutput | kOptDryRun, true},
    CommandInfo{Command::Move, "move", "FILE NAME --to N [--dry-run] [--output PATH]",
                "move a symbol to another place in the list",
                "Moves the symbol definition NAME to list index N (from 0), the others keeping\n"
                "their order, as the window's Up and Dn buttons would step by step. An N\n"
                "beyond the last index is a usage error.\n",
                2, 2, kOptOutput | kOptTo | kOptDryRun, false},
    CommandInfo{Command::Rename, "rename", "FILE OLD NEW [--force] [--dry-run] [--output PATH]",
                "rename a symbol and every reference to it",
                "Gives the symbol definition OLD the name NEW and renames every reference to\n"
                "OLD, so that the drawing still places the symbol. A NEW that another symbol\n"
                "has is refused, since its references would then place OLD; --force renames\n"
                "anyway.\n",
                3, 3, kOptOutput | kOptForce | kOptDryRun, false},
    CommandInfo{Command::Delete, "delete", "FILE NAME [--references] [--dry-run] [--output PATH]",
                "delete a symbol, and with --references every reference to it",
                "Deletes the symbol definition NAME. With --references, every top-level\n"
                "reference to NAME is deleted too, and their number is reported (also when\n"
                "the definition is already gone). Without it, a warning tells how many\n"
                "references now place nothing. Another tells how many symbols and groups\n"
                "place NAME from inside, which --references leaves as they are.\n",
                2, 2, kOptOutput | kOptReferences | kOptDryRun, false},
    CommandInfo{Command::Purge, "purge", "FILE... [--force] [--dry-run] [--output PATH]",
                "delete every symbol that nothing in the file places",
                "Deletes every symbol definition that nothing in the file places: not\n"
                "referenced at the top level, nor from a group, nor from a symbol that stays.\n"
                "Reports how many were deleted. A file that places none of its symbols (a\n"
                "catalog) is refused, since all of them would go; --force purges it anyway.\n",
                1, kAnyNumber, kOptOutput | kOptForce | kOptDryRun, true},
    CommandInfo{Command::Copy, "copy",
                "FROM TO NAME... [--replace] [--with-dependencies] [--dry-run] [--output PATH]",
                "copy symbols from one file into another",
                "Appends a copy of each symbol definition NAME of FROM to TO, in one write.\n"
                "When TO already has a symbol of that name, --replace puts the copy in its\n"
                "place; without it nothing changes. A NAME that FROM lacks changes nothing\n"
                "either. FROM is only read, and must be another file than TO. With\n"
                "--with-dependencies, the symbols that a NAME places from inside (and those\n"
                "they place) come along when TO lacks them, or with --replace in any case;\n"
                "without it, a warning names each one that TO lacks.\n",
                3, kAnyNumber, kOptOutput | kOptReplace | kOptWithDependencies | kOptDryRun, false},
    CommandInfo{Command::Import, "import",
                "FILE WMF... [--name NAME] [--max-size SIZE] [--replace | --skip-existing] "
                "[--allow-empty] [--dry-run] [--output PATH]",
                "import Windows Metafiles as new symbols",
                "Converts each Windows Metafile WMF into a new symbol definition appended to\n"
                "FILE, all in one write, scaled so that its larger side is SIZE (default 100,\n"
                "from 0 to 100000000). The name is the metafile's file name without its\n"
                "extension, cut to 31 characters; --name NAME gives another for a single WMF.\n"
                "A name FILE already has (also from an earlier WMF of the same run) is refused\n"
                "and nothing is written, unless --replace puts the new symbol in the place of\n"
                "the old one (its references then place the new one), or --skip-existing\n"
                "leaves that WMF out, saying so on stderr.\n"
                "A metafile of which nothing converts is refused unless --allow-empty is given.\n",
                2, kAnyNumber,
                kOptOutput | kOptName | kOptMaxSize | kOptReplace | kOptSkipExisting |
                    kOptAllowEmpty | kOptDryRun,
                false},
    CommandInfo{Command::Render, "render",
                "FILE NAME [-o OUT.svg] [--size PX] | FILE --all -o FOLDER",
                "draw a symbol as an SVG picture",
                "Writes the symbol NAME as an SVG 1.1 picture: its paths and ellipses in the\n"
                "colours they are drawn in, upright, framed to what it draws, PX pixels on its\n"
                "larger side (default 256). To stdout without -o. With --all, one picture per\n"
                "symbol goes into FOLDER, named after the symbol (characters other than\n"
                "letters, digits, '-', '_' and '.' become '_'; a repeated name gets -2, -3...).\n",
                1, 2, kOptOutput | kOptSize | kOptAll, false},
    CommandInfo{Command::Check, "check", "FILE... [--format json]",
                "look for broken references, duplicate names and damage",
                "Prints one line \"FILE: finding\" per problem: references that name no symbol\n"
                "(at the top level or inside symbols and groups), symbols sharing a name (the\n"
                "last one is the one placed), empty names, symbols placed only from inside\n"
                "other symbols, unreadable data at the end of the file (its byte offset),\n"
                "definition records shorter than their fields, extents with low above high.\n"
                "Exit status 0 when nothing is found, 1 with findings.\n",
                1, kAnyNumber, kOptFormat, false},
    CommandInfo{Command::Uses, "uses", "FILE NAME", "tell where a symbol is placed",
                "Prints how many top-level references place the symbol NAME, then each symbol\n"
                "and top-level group that places it from inside, directly (depth 1) or\n"
                "through other symbols (depth 2 and more). Exit status 1 when FILE defines no\n"
                "symbol NAME.\n",
                2, 2, 0, false},
    CommandInfo{Command::Diff, "diff", "A B [--format json]", "compare the symbols of two files",
                "Lists the symbols only in A, only in B, and in both with different contents\n"
                "(definition record and group compared byte for byte, the name up to its zero),\n"
                "and says when the common symbols stand in another order. Exit status 0 when\n"
                "both files hold the same symbols (in any order), 1 when not, 2 when a file\n"
                "cannot be read.\n",
                2, 2, kOptFormat, false},
};

}  // namespace

std::span<const CommandInfo> AllCommands() {
  return kCommands;
}

const CommandInfo* FindCommand(std::string_view name) {
  for (const CommandInfo& info : kCommands) {
    if (info.name == name) {
      return &info;
    }
  }
  return nullptr;
}

const CommandInfo& InfoFor(Command command) {
  for (const CommandInfo& info : kCommands) {
    if (info.command == command) {
      return info;
    }
  }
  return kCommands.front();  // every Command has a row; this is never reached
}

}  // namespace runebin::cli
