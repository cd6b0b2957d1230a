#pragma once

#include <string>

namespace runebin::platform {

// Opens `path` read-only, without ever waiting: a named pipe with no writer, a terminal or any
// other device would block a plain open (or the first read) until some other process acts, so the
// file is opened non-blocking and anything that is not a regular file is refused at once. Returns
// the descriptor, in blocking mode again, or -1 with errno set (ENODEV for a file of another type).
int OpenRegularFile(const std::string& path);

}  // namespace runebin::platform
