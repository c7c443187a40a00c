// The platform's dirname. Linux's POSIX dirname may write into its argument; the platform's never
// does and refuses a result longer than its path limit, so it lives in namespace darwin.
#ifndef PLATFORM_INCLUDE_DARWIN_LIBGEN_H_
#define PLATFORM_INCLUDE_DARWIN_LIBGEN_H_

namespace darwin {

// The platform's limit for a path, its terminating NUL included.
inline constexpr int MAXPATHLEN = 1024;

// The directory part of `path`: everything before its last "/" segment, with the slashes between
// them dropped ("/a/b/" -> "/a", "a" -> ".", "/" -> "/", "" or null -> "."). `path` is not
// modified. The result is in a buffer of the calling thread that the next call on that thread
// overwrites. A directory part of MAXPATHLEN bytes or more gives null with errno ENAMETOOLONG.
char* dirname(const char* path);

}  // namespace darwin

#endif  // PLATFORM_INCLUDE_DARWIN_LIBGEN_H_
