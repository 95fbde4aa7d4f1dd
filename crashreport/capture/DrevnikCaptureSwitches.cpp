#include "crashreport/capture/DrevnikCaptureSwitches.h"

namespace drevnik {
namespace {

std::atomic<TDrevnikThreadsList*> gMainList{nullptr};

}  // namespace

TCaptureSwitches& CaptureSwitches() {
    static TCaptureSwitches switches;
    return switches;
}

TDrevnikThreadsList* MainThreadsList() { return gMainList.load(); }

void CreateMainThreadsList() {
    if (gMainList.load() == nullptr) gMainList.store(new TDrevnikThreadsList());
}

void DestroyMainThreadsList() { delete gMainList.exchange(nullptr); }

}  // namespace drevnik
