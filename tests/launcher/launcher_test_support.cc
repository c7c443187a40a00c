#include "launcher_test_support.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

extern char** environ;

namespace ondrel::testing {
namespace {

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& additions) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    bool replaced = false;
    for (const std::string& addition : additions) {
      if (NameOf(addition) == NameOf(*entry)) replaced = true;
    }
    if (!replaced) result.emplace_back(*entry);
  }
  result.insert(result.end(), additions.begin(), additions.end());
  return result;
}

std::vector<char*> PointersTo(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ChildRun RunChild(const std::string& program, const ChildOptions& options,
                  const std::string& scratch) {
  ChildRun run;
  const std::string out_path = scratch + "/child.out";
  const std::string err_path = scratch + "/child.err";
  std::vector<std::string> arguments = options.arguments;
  std::vector<std::string> environment = ChildEnvironment(options.environment);
  std::vector<char*> argv = PointersTo(arguments);
  std::vector<char*> envp = PointersTo(environment);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(
      &actions, 0, options.standard_input.empty() ? "/dev/null" : options.standard_input.c_str(),
      O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  if (!options.working_directory.empty()) {
    posix_spawn_file_actions_addchdir_np(&actions, options.working_directory.c_str());
  }
  pid_t child = 0;
  const int error =
      posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    ADD_FAILURE() << "cannot start " << program << ": " << std::strerror(error);
    return run;
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  run.exited = WIFEXITED(status);
  if (run.exited) run.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.out = ReadFile(out_path);
  run.err = ReadFile(err_path);
  return run;
}

TemporaryFolder::TemporaryFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != '\0' ? base : "/tmp") +
                        "/ondrel-launcher-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
  }
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string MakeBundle(const std::string& parent, const std::string& launcher,
                       const char* framework) {
  namespace fs = std::filesystem;
  const std::string macos = parent + "/Ondrel.app/Contents/MacOS";
  fs::create_directories(macos);
  fs::copy_file(launcher, macos + "/ondrel_launcher");
  fs::create_directories(parent + "/Ondrel.app/Contents/Frameworks");
  if (framework != nullptr) {
    const fs::path target = fs::path(macos) / kRelativeFrameworkPath;
    fs::create_directories(target.parent_path());
    fs::copy_file(framework, target);
  }
  return macos + "/ondrel_launcher";
}

std::string FrameworkPathFor(const std::string& launcher) {
  return std::filesystem::path(launcher).parent_path().string() + "/" + kRelativeFrameworkPath;
}

void DisableCoreFiles() {
  rlimit no_core{0, 0};
  setrlimit(RLIMIT_CORE, &no_core);
}

ChildFolders::ChildFolders() {
  DisableCoreFiles();
  std::filesystem::create_directories(home());
  std::filesystem::create_directories(scratch());
}

ScopedHome::ScopedHome() {
  const char* home = std::getenv("HOME");
  had_home_ = home != nullptr;
  if (had_home_) saved_home_ = home;
  setenv("HOME", path().c_str(), 1);
  DisableCoreFiles();
}

ScopedHome::~ScopedHome() {
  if (had_home_) {
    setenv("HOME", saved_home_.c_str(), 1);
  } else {
    unsetenv("HOME");
  }
}

}  // namespace ondrel::testing
