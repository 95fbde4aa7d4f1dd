// The standard library's containers with tracking on: every block they make
// is tracked, handed out aligned, and back to none when they are gone.
// CHECK: tracking on
// CHECK: containers ok
// CHECK: threads ok
// CHECK: back to the start
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include <algorithm>
#include <atomic>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "crashreport/capture/LeakTracker.h"
#include "tests/crashreport/capture_leaks/leak_program.h"

namespace {

bool Containers() {
    std::vector<std::string> words;
    for (int i = 0; i < 1000; ++i) words.push_back(std::string(20 + i % 50, static_cast<char>('a' + i % 26)));
    std::sort(words.begin(), words.end());
    std::map<std::string, int> counts;
    for (const std::string& w : words) ++counts[w];
    std::unordered_map<int, std::list<int>> buckets;
    for (int i = 0; i < 500; ++i) buckets[i % 37].push_back(i);
    std::deque<long double> queue(3000, 1.5L);
    std::set<int> set(queue.begin(), queue.end());
    auto shared = std::make_shared<std::vector<int>>(100, 3);
    std::vector<int> grown;
    for (int i = 0; i < 100000; ++i) grown.push_back(i);
    bool aligned = true;
    for (int i = 0; i < 100; ++i) {
        auto p = std::make_unique<long double[]>(static_cast<std::size_t>(i + 1));
        aligned = aligned && reinterpret_cast<uintptr_t>(p.get()) % alignof(std::max_align_t) == 0;
    }
    std::size_t total = 0;
    for (const auto& [w, n] : counts) total += w.size() * static_cast<std::size_t>(n);
    return aligned && total > 0 && buckets[3].size() > 10 && set.size() == 1 && (*shared)[99] == 3 &&
           grown[99999] == 99999 && drevnik::TrackedBlockCount() > 1000;
}

}  // namespace

int main() {
    leaks::TLibrary library;
    std::printf("tracking %s\n", drevnik::IsLeakTrackingOn() ? "on" : "off");
    const std::size_t start = drevnik::TrackedBlockCount();
    if (Containers()) std::printf("containers ok\n");
    // Eight threads allocate and release at once.
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&good, t] {
            std::vector<std::unique_ptr<std::string>> mine;
            for (int i = 0; i < 20000; ++i) {
                mine.push_back(std::make_unique<std::string>(static_cast<std::size_t>(17 + (i + t) % 40), 'x'));
                if (mine.size() > 64) mine.erase(mine.begin(), mine.begin() + 32);
            }
            if (mine.size() <= 64) ++good;
        });
    for (std::thread& t : threads) t.join();
    threads.clear();
    threads.shrink_to_fit();
    if (good.load() == 8) std::printf("threads ok\n");
    const std::size_t end = drevnik::TrackedBlockCount();
    if (end == start)
        std::printf("back to the start\n");
    else
        std::printf("tracked blocks: %zu at the start, %zu at the end\n", start, end);
    return 0;
}
