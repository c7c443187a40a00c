// The platform's dirname: reads its argument without writing to it and gives the directory part in
// a buffer of the calling thread, refusing one that does not fit the platform's path limit.
#include <darwin/libgen.h>

#include <cerrno>
#include <cstring>

#include "faults.h"

namespace darwin {

char* dirname(const char* path) {
  thread_local char directory[MAXPATHLEN];
  if (standin::faults::Take(standin::faults::Point::kDirname)) {
    errno = EINVAL;
    return nullptr;
  }
  if (path == nullptr || path[0] == '\0') {
    std::strcpy(directory, ".");
    return directory;
  }
  size_t end = std::strlen(path);
  // Drop trailing slashes, then the last segment, then the slashes before it.
  while (end > 1 && path[end - 1] == '/') --end;
  while (end > 0 && path[end - 1] != '/') --end;
  if (end == 0) {
    std::strcpy(directory, ".");
    return directory;
  }
  while (end > 1 && path[end - 1] == '/') --end;
  if (end >= sizeof(directory)) {
    errno = ENAMETOOLONG;
    return nullptr;
  }
  std::memcpy(directory, path, end);
  directory[end] = '\0';
  return directory;
}

}  // namespace darwin
