#include <Foundation/NSArray.h>

#include <algorithm>
#include <utility>

NSArray* NSArray::arrayWithObjects(NSObject* const* objects, NSUInteger count) {
  return NSAutorelease(new NSArray(std::vector<NSObject*>(objects, objects + count)));
}

NSArray* NSArray::array() { return NSAutorelease(new NSArray({})); }

NSArray::NSArray(std::vector<NSObject*> objects) : objects_(std::move(objects)) {
  for (NSObject* object : objects_) object->retain();
}

NSArray::~NSArray() {
  for (NSObject* object : objects_) object->release();
}

NSUInteger NSArray::count() const { return objects_.size(); }

NSObject* NSArray::firstObject() const { return objects_.empty() ? nullptr : objects_.front(); }

NSObject* NSArray::objectAtIndex(NSUInteger index) const { return objects_.at(index); }

NSUInteger NSArray::countByEnumeratingWithState(NSFastEnumerationState* state, NSObject** buffer,
                                                NSUInteger length) const {
  const NSUInteger start = state->state;
  if (start >= objects_.size() || length == 0) return 0;
  const NSUInteger batch = std::min<NSUInteger>(length, objects_.size() - start);
  std::copy_n(objects_.begin() + static_cast<long>(start), batch, buffer);
  state->itemsPtr = buffer;
  state->mutationsPtr = &mutations_;
  state->state = start + batch;
  return batch;
}
