#pragma once

#include <string>

namespace runebin::platform {

// Where the program puts its diagnostic files: the system's temporary folder ($TMPDIR, else /tmp).
std::string TemporaryFolder();

}  // namespace runebin::platform
