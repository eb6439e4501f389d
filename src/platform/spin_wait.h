// A hint to the processor inside a loop that waits for another thread's store: it lets the
// other hardware thread of the core run, and spends less power while waiting.
#pragma once

namespace zek::platform {

inline void PauseWhileSpinning() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace zek::platform
