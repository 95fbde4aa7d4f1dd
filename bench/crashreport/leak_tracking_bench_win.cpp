// Cost of one allocation and its release through operator new and delete,
// for small (32 bytes) and large (64 KB) blocks, from 1 and from 8 threads.
// Built twice: with the leak tracker switched on by the library data, and
// without it; leak_tracking_bench.sh prints the two side by side.
// Output lines: "<size> <threads>: <ns per allocation and release>".
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

// Each thread keeps a window of 64 live blocks, as a program would.
double NanosPerPair(std::size_t size, int threads, int pairs) {
    const auto work = [size, pairs] {
        std::vector<char*> live(64, nullptr);
        for (int i = 0; i < pairs; ++i) {
            char*& slot = live[static_cast<std::size_t>(i) % live.size()];
            delete[] slot;
            slot = new char[size];
            slot[0] = static_cast<char>(i);
        }
        for (char* p : live) delete[] p;
    };
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(work);
    for (std::thread& t : pool) t.join();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / (static_cast<double>(pairs) * threads);
}

}  // namespace

int main() {
    struct TCase {
        const char* Name;
        std::size_t Size;
        int Pairs;
    } cases[] = {{"small", 32, 400000}, {"large", 65536, 40000}};
    for (const TCase& c : cases)
        for (int threads : {1, 8}) {
            NanosPerPair(c.Size, threads, c.Pairs / 10);  // warm-up
            std::printf("%s %d: %.1f\n", c.Name, threads, NanosPerPair(c.Size, threads, c.Pairs));
            std::fflush(stdout);
        }
    return 0;
}
