// NSArray: an immutable ordered list that holds a reference to each of its objects.
#ifndef PLATFORM_INCLUDE_FOUNDATION_NSARRAY_H_
#define PLATFORM_INCLUDE_FOUNDATION_NSARRAY_H_

#include <vector>

#include "Foundation/NSObject.h"

// The cursor of a fast enumeration: `state` is 0 before the first call.
struct NSFastEnumerationState {
  unsigned long state = 0;
  NSObject** itemsPtr = nullptr;
  unsigned long* mutationsPtr = nullptr;
  unsigned long extra[5] = {};
};

class NSArray : public NSObject {
 public:
  // An autoreleased array of the `count` objects at `objects`, each retained.
  static NSArray* arrayWithObjects(NSObject* const* objects, NSUInteger count);
  static NSArray* array();

  explicit NSArray(std::vector<NSObject*> objects);
  ~NSArray() override;

  NSUInteger count() const;
  // The first object, or null for an empty array.
  NSObject* firstObject() const;
  NSObject* objectAtIndex(NSUInteger index) const;

  // Fast enumeration: fills `state->itemsPtr` with the next batch and returns its size; 0 at the
  // end.
  NSUInteger countByEnumeratingWithState(NSFastEnumerationState* state, NSObject** buffer,
                                         NSUInteger length) const;

 private:
  std::vector<NSObject*> objects_;
  mutable unsigned long mutations_ = 0;
};

#endif  // PLATFORM_INCLUDE_FOUNDATION_NSARRAY_H_
