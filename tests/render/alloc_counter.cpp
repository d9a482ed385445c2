#include "alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Every allocation of the test program goes through here and is counted, so
// that a test can check that a stretch of work allocates nothing.

namespace {
std::atomic<std::size_t> gAllocations{0};

void* tryAllocate(std::size_t size) noexcept {
    ++gAllocations;
    return std::malloc(size == 0 ? 1 : size);
}

void* allocate(std::size_t size) {
    if (void* p = tryAllocate(size)) return p;
    throw std::bad_alloc();
}
}  // namespace

std::size_t murmur::test::allocationCount() { return gAllocations.load(); }

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return tryAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return tryAllocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
