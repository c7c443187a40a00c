// Core Animation's clock.
#ifndef PLATFORM_INCLUDE_QUARTZCORE_CABASE_H_
#define PLATFORM_INCLUDE_QUARTZCORE_CABASE_H_

typedef double CFTimeInterval;

extern "C" {
// The media time in seconds: a monotonic clock that animations are timed against. Any thread.
CFTimeInterval CACurrentMediaTime(void);
}

#endif  // PLATFORM_INCLUDE_QUARTZCORE_CABASE_H_
