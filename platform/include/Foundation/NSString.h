// NSString: an immutable text, held as UTF-8.
#ifndef PLATFORM_INCLUDE_FOUNDATION_NSSTRING_H_
#define PLATFORM_INCLUDE_FOUNDATION_NSSTRING_H_

#include <string>
#include <string_view>

#include "Foundation/NSObject.h"

class NSString : public NSObject {
 public:
  // An autoreleased string with a copy of the NUL-terminated UTF-8 bytes; null for a null argument
  // or bytes that are not valid UTF-8.
  static NSString* stringWithUTF8String(const char* bytes);

  explicit NSString(std::string_view utf8);

  // The UTF-8 bytes, NUL-terminated; valid while the string lives.
  const char* UTF8String() const;
  BOOL isEqualToString(const NSString* other) const;
  NSUInteger length() const;

  BOOL isEqual(const NSObject* other) const override;

  // The bytes as a C++ view, for the stand-in's own code and tests.
  std::string_view view() const { return utf8_; }

 private:
  std::string utf8_;
};

#endif  // PLATFORM_INCLUDE_FOUNDATION_NSSTRING_H_
