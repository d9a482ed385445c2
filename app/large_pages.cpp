#include "app/large_pages.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr const char* kTunable = "glibc.malloc.hugetlb";

// Whether the kernel gives transparent huge pages to memory that asks for
// them ("madvise" in its setting) rather than to all memory or to none.
bool largePagesOnRequest() {
    std::ifstream setting("/sys/kernel/mm/transparent_hugepage/enabled");
    std::string text;
    std::getline(setting, text);
    return text.find("[madvise]") != std::string::npos;
}

}  // namespace

void restartWithLargePages(char** argv) {
    if (!argv || !argv[0]) return;
    const char* current = std::getenv("GLIBC_TUNABLES");
    const std::string tunables = current ? current : "";
    // Set already (by this program's first start, or by whoever started
    // it): nothing to do, and never a second restart.
    if (tunables.find(kTunable) != std::string::npos) return;
    if (!largePagesOnRequest()) return;
    const std::string wanted = (tunables.empty() ? "" : tunables + ":") + kTunable + "=1";
    if (setenv("GLIBC_TUNABLES", wanted.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // Not restarted: go on as we are, without the tunable.
    if (current)
        setenv("GLIBC_TUNABLES", current, 1);
    else
        unsetenv("GLIBC_TUNABLES");
}
