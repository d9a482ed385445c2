#include "demo/credits_dance.h"
#include "tests/demo/show_data.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <execinfo.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <new>

// Every allocation of this test program passes through here, so a test can
// tell whether a stretch of code allocated.
namespace {
std::atomic<long> allocations{0};

// While set, allocations made inside the GL driver are counted apart: a
// software driver compiles its shader variants (with LLVM, in C++) the first
// time a new combination of state is drawn, which is none of the show's
// doing.
std::atomic<bool> separateDriver{false};
std::atomic<long> driverAllocations{0};

bool calledFromDriver() {
    void* frames[48];
    const int count = backtrace(frames, 48);
    for (int i = 1; i < count; ++i) {
        Dl_info info;
        if (dladdr(frames[i], &info) == 0 || !info.dli_fname) continue;
        const char* file = std::strrchr(info.dli_fname, '/');
        file = file ? file + 1 : info.dli_fname;
        if (std::strstr(file, "_dri.so") || std::strncmp(file, "libLLVM", 7) == 0 ||
            std::strncmp(file, "libGL", 5) == 0 || std::strncmp(file, "libEGL", 6) == 0 ||
            std::strncmp(file, "libgallium", 10) == 0)
            return true;
    }
    return false;
}

void* allocate(std::size_t size) {
    if (separateDriver.load(std::memory_order_relaxed) && calledFromDriver())
        driverAllocations.fetch_add(1, std::memory_order_relaxed);
    else
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

// Kept out of line, so that the compiler does not pair an inlined free with
// the operator new at a call site and warn about a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) { return allocate(size); }
[[gnu::noinline]] void* operator new[](std::size_t size) { return allocate(size); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

using murmur::test::builtContent;
using murmur::test::openShow;

// The whole show with the built content: after its first frame, no frame
// allocates, whatever part of the timeline it draws (the smoke, the jet, the
// dream, the flicker, the greetings, the end picture).
TEST(Allocation, NoFrameOfTheWholeShowAllocatesAfterTheFirst) {
    ASSERT_TRUE(murmur::test::HeadlessGl::ensure()) << murmur::test::HeadlessGl::failure();
    auto show = openShow(builtContent(), nullptr, 96, 54);
    ASSERT_TRUE(show);
    ASSERT_TRUE(show->update(0.0f, 16.0f));
    ASSERT_TRUE(show->render(0.0f, 16.0f));

    {
        void* warm[4];
        backtrace(warm, 4);  // loads the unwinder before anything is counted
    }
    separateDriver = true;
    const long before = allocations.load();
    long frames = 0;
    const auto span = [&](float from, float to, float stepMs) {
        for (float ms = from * 1000.0f; ms <= to * 1000.0f; ms += stepMs, ++frames) {
            show->update(ms, stepMs);
            show->render(ms, stepMs);
        }
    };
    span(0.1f, 100.0f, 2000.0f);
    span(100.2f, 112.0f, 250.0f);  // the jet and the dream
    span(112.0f, 215.0f, 2000.0f);
    span(215.0f, 250.0f, 200.0f);  // the greetings
    span(250.0f, 262.0f, 500.0f);
    separateDriver = false;
    EXPECT_EQ(allocations.load() - before, 0) << "over " << frames << " frames";
    std::printf("%ld frames; the GL driver allocated %ld times compiling what it draws\n", frames,
                driverAllocations.load());
    EXPECT_GE(show->credits()->greetingIndex(), 0) << "the greetings were reached";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
