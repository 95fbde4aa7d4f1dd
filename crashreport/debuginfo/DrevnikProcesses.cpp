#include "crashreport/debuginfo/DrevnikProcesses.h"

#include <memory>

namespace drevnik {
namespace {

std::unique_ptr<TDrevnikProcessesList> gProcessesList;

}  // namespace

TDrevnikProcessesList* ProcessesList() { return gProcessesList.get(); }

void CreateProcessesList() {
    if (!gProcessesList) {
        gProcessesList = std::make_unique<TDrevnikProcessesList>();
    }
}

void DestroyProcessesList() { gProcessesList.reset(); }

void BuildProcessesList() {
    if (gProcessesList) {
        BuildProcessesList(*gProcessesList);
    }
}

int FindProcessIndex(const TDrevnikProcessesList& list, uint32_t processId) {
    int low = 0;
    int high = list.Count() - 1;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        const uint32_t id = list.GetItem(mid).ProcId;
        if (id == processId) {
            return mid;
        }
        if (id < processId) {
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    return -1;
}

int FindProcessIndex(uint32_t processId) {
    return gProcessesList ? FindProcessIndex(*gProcessesList, processId) : -1;
}

void AddThreadCounts(TDrevnikProcessesList& list, const std::vector<uint32_t>& threadOwnerIds) {
    int previous = -1;
    for (uint32_t owner : threadOwnerIds) {
        if (previous < 0 || list.GetItem(previous).ProcId != owner) {
            previous = FindProcessIndex(list, owner);
        }
        if (previous >= 0) {
            ++list.GetItem(previous).ThreadCount;
        }
    }
}

uint32_t PriorityClassFromBase(int32_t basePriority) {
    if (basePriority <= 0) return 0;
    if (basePriority <= 5) return 64;
    if (basePriority <= 7) return 0x4000;
    if (basePriority <= 9) return 32;
    if (basePriority <= 12) return 0x8000;
    if (basePriority <= 23) return 128;
    return 256;
}

}  // namespace drevnik
