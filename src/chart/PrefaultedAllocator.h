#pragma once

// An allocator for large arrays that are filled at once: their memory comes
// mapped and already backed by pages, rather than taking one page fault per
// page on the first write. Where a fault is costly (a virtual machine) that
// is most of the time of building a long series' summaries. Small arrays
// come from the ordinary heap.

#include <cstddef>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tq {

template <class T> struct PrefaultedAllocator {
    using value_type = T;
    static constexpr std::size_t kMappedFrom = 32 * 1024;

    PrefaultedAllocator() = default;
    template <class U> PrefaultedAllocator(const PrefaultedAllocator<U>&) {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
#if defined(__linux__)
        if (bytes >= kMappedFrom) {
            void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE,
                           -1, 0);
            if (p == MAP_FAILED) throw std::bad_alloc();
            return static_cast<T*>(p);
        }
#endif
        return static_cast<T*>(::operator new(bytes));
    }
    void deallocate(T* p, std::size_t n) {
#if defined(__linux__)
        if (n * sizeof(T) >= kMappedFrom) {
            munmap(p, n * sizeof(T));
            return;
        }
#endif
        ::operator delete(p);
    }
    template <class U> bool operator==(const PrefaultedAllocator<U>&) const {
        return true;
    }
};

} // namespace tq
