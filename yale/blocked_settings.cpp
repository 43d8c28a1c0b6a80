// The instruction sets of the row-blocked factorization: those the
// processor runs and the kernel for each.
#include "yale/block_factor.h"

namespace yale_blocked {

bool runs_on_this_processor(isa set) {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();  // also when called before the static constructors have run
  if (set == isa::avx512) return __builtin_cpu_supports("avx512f");
  if (set == isa::avx2) return __builtin_cpu_supports("avx2");
#endif
  return set == isa::portable;
}

isa widest() {
  for (isa set : {isa::avx512, isa::avx2})
    if (runs_on_this_processor(set)) return set;
  return isa::portable;
}

column_kernel kernel_for(isa set) {
  switch (runs_on_this_processor(set) ? set : isa::portable) {
    case isa::avx512:
      return column_update_avx512;
    case isa::avx2:
      return column_update_avx2;
    default:
      return column_update_portable;
  }
}

}  // namespace yale_blocked
