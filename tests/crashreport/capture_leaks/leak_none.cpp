// A program that releases all it made: no leak report.
// CHECK: tracking on
// CHECK: done
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include <map>
#include <memory>
#include <string>

#include "crashreport/capture/LeakTracker.h"
#include "tests/crashreport/capture_leaks/leak_program.h"

class TNode {
public:
    virtual ~TNode() = default;
    std::string Name = std::string(30, 'n');
};

int main() {
    leaks::TLibrary library;
    std::printf("tracking %s\n", drevnik::IsLeakTrackingOn() ? "on" : "off");
    std::map<int, std::unique_ptr<TNode>> nodes;
    for (int i = 0; i < 50; ++i) nodes[i] = std::make_unique<TNode>();
    nodes.clear();
    std::printf("done\n");
    return 0;
}
