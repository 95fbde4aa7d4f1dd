// Leaks an object of one class, three of another made at one line, and a
// plain record: the leak report at exit lists exactly these three groups,
// each at the line that made it; what the program released is not there.
// CHECK: tracking on
// CHECK: report: drevnik::EMemoryLeak | Memory Leak: Total size=
// CHECK: leak: TAlpha count=1
// CHECK: leak: TBeta count=3
// CHECK: leak: Data count=1
// CHECK-NOT: leak:
// CHECK-EXIT: 0
#include <memory>
#include <string>
#include <vector>

#include "crashreport/capture/LeakTracker.h"
#include "tests/crashreport/capture_leaks/leak_program.h"

class TAlpha {
public:
    virtual ~TAlpha() = default;
    int Value = 1;
};
class TBeta : public TAlpha {
public:
    double Weight = 2;
};
struct TPlainRecord {
    int Numbers[5] = {};
};

namespace {

std::vector<void*> gKept;

__attribute__((noinline)) void MakeLeaks() {
    gKept.reserve(8);
    gKept.push_back(new TAlpha);  // SITE: TAlpha
    for (int i = 0; i < 3; ++i) gKept.push_back(new TBeta);  // SITE: TBeta
    gKept.push_back(new TPlainRecord);  // SITE: Data
}

__attribute__((noinline)) void MakeAndRelease() {
    auto alpha = std::make_unique<TAlpha>();
    std::vector<std::string> words{std::string(40, 'a'), std::string(50, 'b')};
    delete new TBeta;
}

}  // namespace

int main() {
    leaks::TLibrary library;
    std::printf("tracking %s\n", drevnik::IsLeakTrackingOn() ? "on" : "off");
    std::printf("expected: Total size=%zu - Count=5\n", sizeof(TAlpha) + 3 * sizeof(TBeta) + sizeof(TPlainRecord));
    MakeLeaks();
    MakeAndRelease();
    // The pointers are forgotten; only the blocks stay.
    std::vector<void*>().swap(gKept);
    return 0;
}
