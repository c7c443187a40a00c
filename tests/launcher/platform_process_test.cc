// The platform calls the launcher starts with: the executable path, dirname, the loader with the
// platform's mode bits, and failure injection.
#include <darwin/dlfcn.h>
#include <darwin/libgen.h>
#include <gtest/gtest.h>
#include <mach-o/dyld.h>
#include <sys/auxv.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "standin/faults.h"

namespace ondrel::testing {
namespace {

std::string StartedAs() {
  std::string path = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
  if (path[0] == '/') return path;
  char folder[4096];
  EXPECT_NE(getcwd(folder, sizeof(folder)), nullptr);
  return std::string(folder) + "/" + path;
}

TEST(ExecutablePathTest, SizeQueryThenPath) {
  const std::string expected = StartedAs();
  uint32_t size = 0;
  EXPECT_EQ(_NSGetExecutablePath(nullptr, &size), -1);
  EXPECT_EQ(size, expected.size() + 1);

  std::string buffer(size, '?');
  uint32_t short_size = size - 1;
  EXPECT_EQ(_NSGetExecutablePath(buffer.data(), &short_size), -1);
  EXPECT_EQ(short_size, size);

  EXPECT_EQ(_NSGetExecutablePath(buffer.data(), &size), 0);
  EXPECT_EQ(buffer, expected + '\0');
}

TEST(ExecutablePathTest, InjectedFailuresTakeTheOtherAnswer) {
  uint32_t size = 0;
  ASSERT_TRUE(standin::ArmFaults("_NSGetExecutablePath@1"));
  EXPECT_EQ(_NSGetExecutablePath(nullptr, &size), 0);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(_NSGetExecutablePath(nullptr, &size), -1);
  std::string buffer(size, '\0');
  ASSERT_TRUE(standin::ArmFaults("_NSGetExecutablePath@1"));
  EXPECT_EQ(_NSGetExecutablePath(buffer.data(), &size), -1);
  EXPECT_EQ(_NSGetExecutablePath(buffer.data(), &size), 0);
}

TEST(DirnameTest, DirectoryPartWithoutTouchingTheArgument) {
  const struct {
    const char* path;
    const char* directory;
  } cases[] = {
      {"/usr/lib", "/usr"}, {"/usr/lib/", "/usr"},
      {"usr/lib", "usr"},   {"usr", "."},
      {"/usr", "/"},        {"/", "/"},
      {"//", "/"},          {"", "."},
      {"a//b", "a"},        {"a/b//c///", "a/b"},
      {"/a/../b", "/a/.."}, {"./x", "."},
  };
  for (const auto& c : cases) {
    std::string argument = c.path;
    const char* directory = darwin::dirname(argument.data());
    ASSERT_NE(directory, nullptr) << c.path;
    EXPECT_STREQ(directory, c.directory) << c.path;
    EXPECT_EQ(argument, c.path);
  }
  EXPECT_STREQ(darwin::dirname(nullptr), ".");
}

TEST(DirnameTest, DirectoryMustFitThePathLimit) {
  const std::string longest_directory = "/" + std::string(darwin::MAXPATHLEN - 2, 'd');
  const char* directory = darwin::dirname((longest_directory + "/file").c_str());
  ASSERT_NE(directory, nullptr);
  EXPECT_EQ(directory, longest_directory);

  errno = 0;
  EXPECT_EQ(darwin::dirname((longest_directory + "d/file").c_str()), nullptr);
  EXPECT_EQ(errno, ENAMETOOLONG);
}

TEST(LoaderTest, LocalLoadOfAnImageNotYetLoaded) {
  // Linux would read the platform's RTLD_LOCAL (0x4) as RTLD_NOLOAD and refuse.
  void* image = darwin::dlopen(ONDREL_EMPTY_FRAMEWORK, darwin::RTLD_LAZY | darwin::RTLD_LOCAL);
  ASSERT_NE(image, nullptr) << darwin::dlerror();
  EXPECT_EQ(darwin::dlclose(image), 0);
}

TEST(LoaderTest, FirstSearchesTheImageAlone) {
  const int first = darwin::RTLD_LAZY | darwin::RTLD_LOCAL | darwin::RTLD_FIRST;
  void* image = darwin::dlopen(ONDREL_FORWARDING_FRAMEWORK, first);
  ASSERT_NE(image, nullptr) << darwin::dlerror();
  EXPECT_NE(darwin::dlsym(image, "ForwardingFrameworkVersion"), nullptr);
  EXPECT_EQ(darwin::dlsym(image, "ChromeMain"), nullptr);
  EXPECT_EQ(std::string(darwin::dlerror()),
            std::string(ONDREL_FORWARDING_FRAMEWORK) +
                ": undefined symbol: ChromeMain (only an image it depends on exports it, and "
                "RTLD_FIRST searches this image alone)");
  EXPECT_EQ(darwin::dlerror(), nullptr);

  // The same image without RTLD_FIRST: its dependency is searched too.
  void* with_dependencies =
      darwin::dlopen(ONDREL_FORWARDING_FRAMEWORK, darwin::RTLD_LAZY | darwin::RTLD_LOCAL);
  ASSERT_NE(with_dependencies, nullptr);
  auto chrome_main =
      reinterpret_cast<int (*)(int, char**)>(darwin::dlsym(with_dependencies, "ChromeMain"));
  ASSERT_NE(chrome_main, nullptr);
  EXPECT_EQ(chrome_main(0, nullptr), 4);
}

TEST(LoaderTest, UnknownModeBitsAreRefused) {
  EXPECT_EQ(darwin::dlopen(ONDREL_EMPTY_FRAMEWORK, darwin::RTLD_LAZY | 0x40), nullptr);
  EXPECT_EQ(std::string(darwin::dlerror()),
            std::string(ONDREL_EMPTY_FRAMEWORK) + ": invalid mode 0x41");
  EXPECT_EQ(darwin::dlopen(ONDREL_EMPTY_FRAMEWORK,
                           darwin::RTLD_LAZY | darwin::RTLD_LOCAL | darwin::RTLD_GLOBAL),
            nullptr);
}

TEST(LoaderTest, InjectedFailures) {
  ASSERT_TRUE(standin::ArmFaults("dlopen,dlsym@2"));
  EXPECT_EQ(darwin::dlopen(ONDREL_EMPTY_FRAMEWORK, darwin::RTLD_LAZY), nullptr);
  EXPECT_STREQ(darwin::dlerror(), "injected fault");
  void* image = darwin::dlopen(ONDREL_FORWARDING_FRAMEWORK, darwin::RTLD_LAZY);
  ASSERT_NE(image, nullptr);
  EXPECT_NE(darwin::dlsym(image, "ForwardingFrameworkVersion"), nullptr);
  EXPECT_EQ(darwin::dlsym(image, "ForwardingFrameworkVersion"), nullptr);
  EXPECT_STREQ(darwin::dlerror(), "injected fault");
  EXPECT_NE(darwin::dlsym(image, "ForwardingFrameworkVersion"), nullptr);
}

TEST(FaultsTest, MalformedListsArmNothing) {
  for (const char* list : {"nosuch", "dlopen@0", "dlopen@x", "dlopen=1", "malloc", "malloc=abc",
                           "malloc_get_all_zones=bogus", "dirname,nosuch", "dlopen@"}) {
    EXPECT_FALSE(standin::ArmFaults(list)) << list;
  }
  // "dirname,nosuch" armed nothing, not even its first item.
  EXPECT_NE(darwin::dirname("/a/b"), nullptr);
  EXPECT_TRUE(standin::ArmFaults(""));
  EXPECT_TRUE(standin::ArmFaults("dirname@2,malloc@3=64,malloc_get_all_zones@2=null"));
  standin::DisarmFaults();
  EXPECT_NE(darwin::dirname("/a/b"), nullptr);
  EXPECT_NE(darwin::dirname("/a/b"), nullptr);
}

}  // namespace
}  // namespace ondrel::testing
