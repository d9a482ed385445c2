#include "tools/parallel/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tools {

void parallelFor(int count, const std::function<void(int)>& job)
{
    int workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    workers = std::min(workers, count);
    if (workers <= 1) {
        for (int i = 0; i < count; ++i) job(i);
        return;
    }
    std::atomic<int> next{0};
    std::vector<std::thread> threads;
    for (int w = 0; w < workers; ++w)
        threads.emplace_back([&] {
            for (int i = next++; i < count; i = next++) job(i);
        });
    for (std::thread& t : threads) t.join();
}

} // namespace tools
