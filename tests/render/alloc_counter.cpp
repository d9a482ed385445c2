#include "alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every allocation of the test program goes through here and is counted, so
// that a test can check that a stretch of work allocates nothing.

namespace {
std::atomic<std::size_t> gAllocations{0};

void* allocate(std::size_t size) {
    ++gAllocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
}  // namespace

std::size_t murmur::test::allocationCount() { return gAllocations.load(); }

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
