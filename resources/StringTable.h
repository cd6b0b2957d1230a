#pragma once

#include <string_view>

namespace runebin {

// The program's string table: texts looked up by id at run time.
inline constexpr int kIdsAboutBox = 101;  // the About item of the window menu

// The text of string `id`, or an empty text when the table has no such string.
std::string_view LoadResourceString(int id);

}  // namespace runebin
