// An exception that a TCP connection's thread catches goes to the library
// through the connection hook: one report on that thread, the server's own
// event does not run, and the program goes on.
// CHECK: report: fw::Exception | peer sent garbage | thread=other
// CHECK: report end
// CHECK: connection closed, reported=1
// CHECK: program goes on
// CHECK-NOT: report:
// CHECK-EXIT: 0
#include "framework/core/exceptions.h"
#include "framework/core/thread.h"
#include "tests/crashreport/capture_crashes/report_program.h"

namespace {

// Stands in for a server's connection thread: OnExecute raises, the thread
// catches it and closes the connection.
class TConnectionThread : public fw::TThread {
protected:
    void Execute() override {
        bool reported = false;
        try {
            throw fw::Exception(L"peer sent garbage");
        } catch (...) {
            const fw::TExceptionHook& hook = fw::ConnectionExceptionHook();
            reported = hook && hook(nullptr, std::current_exception());
        }
        std::printf("connection closed, reported=%d\n", reported ? 1 : 0);
        std::fflush(stdout);
    }
};

}  // namespace

int main() {
    report::StartLibrary();
    TConnectionThread connection;
    connection.Start();
    connection.WaitFor();
    std::printf("program goes on\n");
    return 0;
}
