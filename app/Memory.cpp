// Running out of memory is a fatal stop that names the request, not an exception nobody catches.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "app/AppState.h"

namespace mj {
void OutOfMemory(std::size_t bytes);
}

// The sanitizers bring allocators of their own, which libraries loaded later also use; ours would mismatch them.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
void* operator new(std::size_t n) {
    for (;;) {
        if (void* p = std::malloc(n ? n : 1)) return p;
        mj::OutOfMemory(n);
    }
}
void* operator new[](std::size_t n) {
    return ::operator new(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
#endif
