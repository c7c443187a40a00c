// Autorelease pools: nested scopes per thread, each pop releasing exactly what was autoreleased
// since its push.
#include <Foundation/Foundation.h>
#include <gtest/gtest.h>

#include <thread>

#include "standin/objects.h"

namespace {

NSObject* NewAutoreleased() { return NSAutorelease(new NSObject()); }

TEST(AutoreleasePoolTest, NestedScopesReleaseOnlyTheirOwnObjects) {
  const long before = standin::LiveObjectCount();
  void* outer = objc_autoreleasePoolPush();
  NewAutoreleased();
  void* inner = objc_autoreleasePoolPush();
  NewAutoreleased();
  NewAutoreleased();
  EXPECT_EQ(standin::LiveObjectCount(), before + 3);

  objc_autoreleasePoolPop(inner);
  EXPECT_EQ(standin::LiveObjectCount(), before + 1);
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 1u);

  objc_autoreleasePoolPop(outer);
  EXPECT_EQ(standin::LiveObjectCount(), before);
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 0u);
}

TEST(AutoreleasePoolTest, PoppingAnOuterScopeClosesInnerScopesLeftOpen) {
  const long before = standin::LiveObjectCount();
  void* outer = objc_autoreleasePoolPush();
  NewAutoreleased();
  objc_autoreleasePoolPush();
  NewAutoreleased();
  objc_autoreleasePoolPop(outer);
  EXPECT_EQ(standin::LiveObjectCount(), before);

  // The closed inner scope is gone: a new scope starts from an empty stack.
  void* next = objc_autoreleasePoolPush();
  NewAutoreleased();
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 1u);
  objc_autoreleasePoolPop(next);
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

TEST(AutoreleasePoolTest, RetainedObjectOutlivesItsPool) {
  void* pool = objc_autoreleasePoolPush();
  NSObject* kept = NSRetain(NewAutoreleased());
  objc_autoreleasePoolPop(pool);
  EXPECT_EQ(kept->retainCount(), 1u);
  const long with_kept = standin::LiveObjectCount();
  kept->release();
  EXPECT_EQ(standin::LiveObjectCount(), with_kept - 1);
}

TEST(AutoreleasePoolTest, EachThreadHasItsOwnPools) {
  const long before = standin::LiveObjectCount();
  void* main_pool = objc_autoreleasePoolPush();
  NewAutoreleased();

  // Another thread's pops do not touch this thread's objects, and its own are gone when it pops.
  std::thread other([] {
    void* pool = objc_autoreleasePoolPush();
    NewAutoreleased();
    NewAutoreleased();
    EXPECT_EQ(standin::PendingAutoreleaseCount(), 2u);
    objc_autoreleasePoolPop(pool);
    EXPECT_EQ(standin::PendingAutoreleaseCount(), 0u);
  });
  other.join();
  EXPECT_EQ(standin::PendingAutoreleaseCount(), 1u);
  EXPECT_EQ(standin::LiveObjectCount(), before + 1);

  objc_autoreleasePoolPop(main_pool);
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

TEST(AutoreleasePoolTest, ThreadEndingWithOpenPoolsDrainsThem) {
  const long before = standin::LiveObjectCount();
  std::thread([] {
    objc_autoreleasePoolPush();
    NewAutoreleased();
  }).join();
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

TEST(AutoreleasePoolTest, ArrayHoldsItsObjectsUntilItGoes) {
  const long before = standin::LiveObjectCount();
  void* pool = objc_autoreleasePoolPush();
  NSObject* objects[] = {NewAutoreleased(), NewAutoreleased()};
  NSArray* array = NSArray::arrayWithObjects(objects, 2);
  NSRetain(array);
  objc_autoreleasePoolPop(pool);
  EXPECT_EQ(standin::LiveObjectCount(), before + 3);
  EXPECT_EQ(array->firstObject(), objects[0]);
  array->release();
  EXPECT_EQ(standin::LiveObjectCount(), before);
}

}  // namespace
