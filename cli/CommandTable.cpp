#include "cli/CommandTable.h"

#include <array>

namespace runebin::cli {
namespace {

constexpr std::array kCommands = {
    CommandInfo{Command::List, "list", "FILE...",
                "list the symbol definitions: index, name, use count, width, height",
                "Prints one line per symbol definition, in the file's order, with five fields\n"
                "separated by tabs: the index from 0, the name, the number of references that\n"
                "place it, its width and its height (two decimals).\n",
                1, kAnyNumber, 0, true},
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
                "references now place nothing.\n",
                2, 2, kOptOutput | kOptReferences | kOptDryRun, false},
    CommandInfo{Command::Purge, "purge", "FILE... [--force] [--dry-run] [--output PATH]",
                "delete every symbol that nothing in the file places",
                "Deletes every symbol definition that nothing in the file places: not\n"
                "referenced at the top level, nor from a group, nor from a symbol that stays.\n"
                "Reports how many were deleted. A file that places none of its symbols (a\n"
                "catalog) is refused, since all of them would go; --force purges it anyway.\n",
                1, kAnyNumber, kOptOutput | kOptForce | kOptDryRun, true},
    CommandInfo{Command::Copy, "copy",
                "FROM TO NAME [--replace] [--with-dependencies] [--dry-run] [--output PATH]",
                "copy a symbol from one file into another",
                "Appends a copy of the symbol definition NAME of FROM to TO. When TO already\n"
                "has a symbol of that name, --replace puts the copy in its place; without it\n"
                "nothing changes. FROM is only read. With --with-dependencies, the symbols\n"
                "that NAME places from inside (and those they place) come along when TO lacks\n"
                "them, or with --replace in any case; without it, a warning names each one\n"
                "that TO lacks.\n",
                3, 3, kOptOutput | kOptReplace | kOptWithDependencies | kOptDryRun, false},
    CommandInfo{
        Command::Import, "import",
        "FILE WMF [--name NAME] [--max-size SIZE] [--allow-empty] [--dry-run] [--output PATH]",
        "import a Windows Metafile as a new symbol",
        "Converts the Windows Metafile WMF into a new symbol definition appended to\n"
        "FILE, scaled so that its larger side is SIZE (default 100, from 0 to\n"
        "100000000). NAME defaults to the metafile's file name with its extension, cut\n"
        "to 31 characters.\n"
        "A metafile of which nothing converts is refused unless --allow-empty is given.\n",
        2, 2, kOptOutput | kOptName | kOptMaxSize | kOptAllowEmpty | kOptDryRun, false},
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
