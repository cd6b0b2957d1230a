#include "tests/cli/CliRunner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "tests/support/TempDir.h"

extern char** environ;

namespace runebin::testing {

CliResult RunCli(const std::vector<std::string>& arguments) {
  // Files rather than pipes: nothing can block however much the program writes.
  TempDir capture;
  const std::string outPath = capture.Path("stdout");
  const std::string errPath = capture.Path("stderr");

  std::vector<std::string> argvStrings = {RUNEBIN_CLI_PATH};
  argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& argument : argvStrings) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    throw std::runtime_error("cannot start " + argvStrings.front());
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("lost " + argvStrings.front());
    }
  }

  CliResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = AsText(ReadFileBytes(outPath));
  result.err = AsText(ReadFileBytes(errPath));
  return result;
}

FileState StateOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    throw std::runtime_error("cannot stat " + path);
  }
  return FileState{ReadFileBytes(path), info.st_mtim, info.st_ino};
}

bool operator==(const FileState& a, const FileState& b) {
  return a.bytes == b.bytes && a.modified.tv_sec == b.modified.tv_sec &&
         a.modified.tv_nsec == b.modified.tv_nsec && a.inode == b.inode;
}

void BackdateFile(const std::string& path) {
  const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};  // September 2001
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw std::runtime_error("cannot set the time of " + path);
  }
}

std::string AsText(const Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace runebin::testing
