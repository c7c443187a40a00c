// What the launcher's tests share: running a program as a child process and collecting what it
// leaves behind (exit status or signal, standard output and standard error byte for byte),
// temporary folders, and a home folder of the test's own for the crash reports of aborts.
#ifndef TESTS_LAUNCHER_LAUNCHER_TEST_SUPPORT_H_
#define TESTS_LAUNCHER_LAUNCHER_TEST_SUPPORT_H_

#include <string>
#include <vector>

namespace ondrel::testing {

struct ChildRun {
  bool exited = false;
  int exit_status = -1;  // when exited
  int signal = 0;        // when killed by a signal
  std::string out;
  std::string err;
};

struct ChildOptions {
  std::vector<std::string> arguments;    // argv, argv[0] included
  std::vector<std::string> environment;  // "NAME=value" added to (or replacing in) this process's
  std::string working_directory;         // empty: this process's
  std::string standard_input;            // a file to read from; empty: /dev/null
};

// Starts `program` (the path given to execve as it is) and waits for it. `scratch` is a folder
// for the captured streams. Fails the test when the program cannot be started.
ChildRun RunChild(const std::string& program, const ChildOptions& options,
                  const std::string& scratch);

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);

// Turns core files off for this process and the children it starts: the tests' aborts are expected.
void DisableCoreFiles();

// The folders of a test that runs the launcher as a child: a fresh root with `home/` (the child's
// HOME, where its crash reports land) and `scratch/` (its captured streams). Turns core files off.
class ChildFolders {
 public:
  ChildFolders();

  const std::string& root() const { return folder_.path(); }
  std::string home() const { return root() + "/home"; }
  std::string scratch() const { return root() + "/scratch"; }

 private:
  TemporaryFolder folder_;
};

// Where the launcher looks for the engine framework, relative to its own folder.
inline constexpr char kRelativeFrameworkPath[] =
    "../Frameworks/Chromium Framework.framework/Versions/147.0.7727.56/Chromium Framework";

// Lays out <parent>/Ondrel.app with a copy of the launcher at `launcher` and, unless `framework` is
// null, a copy of that fixture at the framework's versioned path. Returns the copied launcher's
// path.
std::string MakeBundle(const std::string& parent, const std::string& launcher,
                       const char* framework);

// The framework path the launcher at `launcher` tries: its folder joined with the relative path.
std::string FrameworkPathFor(const std::string& launcher);

// Points HOME at a fresh folder for the life of the object, so crash reports of the test's aborts
// (its own and its children's) land there, and turns core files off.
class ScopedHome {
 public:
  ScopedHome();
  ~ScopedHome();
  ScopedHome(const ScopedHome&) = delete;
  ScopedHome& operator=(const ScopedHome&) = delete;

  const std::string& path() const { return folder_.path(); }

 private:
  TemporaryFolder folder_;
  std::string saved_home_;
  bool had_home_ = false;
};

}  // namespace ondrel::testing

#endif  // TESTS_LAUNCHER_LAUNCHER_TEST_SUPPORT_H_
