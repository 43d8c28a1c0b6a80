#include "driver/timer.h"

#include <sys/resource.h>

static float seconds(const timeval& t) {
  return static_cast<float>(static_cast<double>(t.tv_sec) + 1e-6 * static_cast<double>(t.tv_usec));
}

double timer(float& last) {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const float now = seconds(usage.ru_utime) + seconds(usage.ru_stime);
  const float elapsed = now - last;
  last = now;
  return elapsed;
}
