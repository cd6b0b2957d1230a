#pragma once

#include <string>

namespace runebin::platform {

// The system's temporary folder: $TMPDIR, else /tmp; on Windows the folder GetTempPathW names.
std::string TemporaryFolder();

}  // namespace runebin::platform
