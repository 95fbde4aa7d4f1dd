#include "crashreport/debuginfo/DrevnikCallStack.h"

#include <array>

#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {

TStackKindSet StackEntryKindsFromOptions(uint8_t stackFlags) {
    TStackKindSet kinds = 1u << ekUnitRoutineLine;
    if ((stackFlags & stProcNameEntries) != 0) kinds |= 1u << ekRoutine;
    if ((stackFlags & stUnitProcEntries) != 0) kinds |= 1u << ekUnitRoutine;
    return kinds;
}

TStackKindSet StackEntryKindsFromOptions(const TDrevnikModuleOptions& options) {
    return StackEntryKindsFromOptions(options.StackFlags());
}

namespace {

class TScan {
public:
    TScan(TDrevnikStackList& list, const TStackScanParams& params, const TStackScanServices& services)
        : list_(list), p_(params), s_(services) {}

    void AddAll(const std::vector<uintptr_t>& sites) {
        const int firstNew = list_.Count();
        if (p_.FirstAddress != 0) AddStackEntry(p_.FirstAddress, 1);
        for (uintptr_t site : sites) AddStackEntry(site, 0);
        // Unwound frames are all real: a recursion repeats its call site and
        // no stale values lie between frames, so only the IDE pass applies.
        FilterStackEntries(list_, firstNew, s_.InsideIde, p_.FullLookup, false);
    }

    void Run(uintptr_t programCounter) {
        const int firstNew = list_.Count();
        if (p_.FirstAddress != 0) AddStackEntry(p_.FirstAddress, 1);
        if (programCounter != 0) AddStackEntry(programCounter, 0);
        uintptr_t end = p_.StackEnd;
        if (p_.StackStart < end && end - p_.StackStart > kMaxStackScanBytes) end = p_.StackStart + kMaxStackScanBytes;
        if (s_.Memory != nullptr && p_.StackStart <= end) Walk(end);
        FilterStackEntries(list_, firstNew, s_.InsideIde, p_.FullLookup);
    }

private:
    void Walk(uintptr_t end) {
        long budget = 0;
        for (uintptr_t pos = p_.StackStart; pos <= end; pos += 4) {
            if (budget <= 0) {
                if (s_.Memory->IsReadable(pos, 400)) budget = 400;
                else if (s_.Memory->IsReadable(pos, 4)) budget = 4;
                else budget = 0;
            }
            bool faulted = false;
            if (budget > 0) {
                uint32_t value = 0;
                try {
                    if (s_.Memory->Read(pos, &value, 4)) Examine(value);
                    else faulted = true;
                } catch (...) {
                    faulted = true;
                }
            }
            budget = faulted ? 0 : budget - 4;
            if (end - pos < 4) break;  // the next position would pass the end (or wrap)
        }
    }

    bool ReadBytes(uintptr_t address, uint8_t* out, std::size_t count) const {
        return s_.Memory->IsReadable(address, count) && s_.Memory->Read(address, out, count);
    }

    // Whether the 8B of a load stands in the bytes before a call [reg+disp8]
    // that starts at `call`. Our compiler often puts an argument store between
    // the load of the table and the call, so up to 8 bytes back are looked at.
    bool HasLoadBefore(uintptr_t call) const {
        std::array<uint8_t, 8> bytes{};
        if (call < bytes.size() || !ReadBytes(call - bytes.size(), bytes.data(), bytes.size())) {
            // The two places the load stands right before the call.
            uint8_t b = 0;
            return (ReadBytes(call - 2, &b, 1) && b == 0x8B) || (ReadBytes(call - 3, &b, 1) && b == 0x8B);
        }
        for (uint8_t b : bytes)
            if (b == 0x8B) return true;
        return false;
    }

    void Examine(uint32_t v32) {
        const uintptr_t v = v32;
        if (v < 7) return;
        std::array<uint8_t, 7> b{};  // b[7 - n] is the byte at V-n
        if (!ReadBytes(v - 7, b.data(), b.size())) return;
        auto at = [&](int n) { return b[static_cast<std::size_t>(7 - n)]; };

        if (at(5) == 0xE8) {
            const uint32_t rel = static_cast<uint32_t>(at(4)) | static_cast<uint32_t>(at(3)) << 8 |
                                 static_cast<uint32_t>(at(2)) << 16 | static_cast<uint32_t>(at(1)) << 24;
            uintptr_t target = static_cast<uint32_t>(v32 + rel);
            if (!s_.Memory->IsReadable(target, 1)) return;
            if (p_.ResolveCallTargets) target = s_.Memory->ResolveImportThunk(target);
            uint8_t first = 0;
            if (s_.Memory->IsReadable(target, 5) && s_.Memory->Read(target, &first, 1) && first != 0xE8)
                AddStackEntry(target, 0);
            AddStackEntry(v - 5, 0);
            return;
        }
        if (at(2) == 0xFF && at(1) >= 0xD0 && at(1) <= 0xD7) return AddStackEntry(v - 2, 0);
        if (at(2) == 0xFF && ((at(1) >= 0x10 && at(1) <= 0x13) || at(1) == 0x16 || at(1) == 0x17))
            return AddStackEntry(v - 2, 0);
        if (at(3) == 0xFF && ((at(2) >= 0x50 && at(2) <= 0x53) || (at(2) >= 0x55 && at(2) <= 0x57))) {
            if (HasLoadBefore(v - 3)) AddStackEntry(v - 3, 0);
            return;
        }
        if (at(6) == 0xFF && ((at(5) >= 0x90 && at(5) <= 0x93) || (at(5) >= 0x95 && at(5) <= 0x97)))
            return AddStackEntry(v - 6, 0);
        if (at(3) == 0xFF && at(2) == 0x14 && at(1) == 0x24) return AddStackEntry(v - 3, 0);
        if (at(4) == 0xFF && at(3) == 0x54 && at(2) == 0x24) return AddStackEntry(v - 4, 0);
        if (at(7) == 0xFF && at(6) == 0x94 && at(5) == 0x24) return AddStackEntry(v - 7, 0);
        if (at(6) == 0xFF && at(5) == 0x15) {
            const uintptr_t pointer = static_cast<uint32_t>(at(4)) | static_cast<uint32_t>(at(3)) << 8 |
                                      static_cast<uint32_t>(at(2)) << 16 | static_cast<uint32_t>(at(1)) << 24;
            if (s_.Memory->IsReadable(pointer, 4)) AddStackEntry(v - 6, 0);
        }
    }

    void AddStackEntry(uintptr_t address, uint8_t faultFlag) {
        if (list_.Count() > kMaxStackEntries) return;
        auto entry = std::make_unique<TCallStackEntry>();
        if (p_.FullLookup) {
            if (s_.Lookup) s_.Lookup(address, faultFlag, *entry);
        } else if (s_.BareEntry) {
            s_.BareEntry(address, faultFlag, *entry);
        } else {
            entry->EntryKind = ekModule;
            entry->CodeAddress = address;
        }
        entry->ThreadId = p_.ThreadId;
        entry->OwnStack = p_.OwnStack;
        entry->IsFaultAddress = faultFlag;
        if (!StackKindInSet(p_.Kinds, entry->EntryKind)) return;
        const int passed = passed_++;
        if (p_.Skip == -1 || (passed >= p_.Skip && added_ < p_.Maximum)) {
            list_.Add(std::move(entry));
            ++added_;
        }
    }

    TDrevnikStackList& list_;
    const TStackScanParams& p_;
    const TStackScanServices& s_;
    int passed_ = 0;
    int added_ = 0;
};

bool IsNamedKind(uint8_t kind) { return kind >= ekRoutine && kind <= ekUnitRoutineLine; }

uintptr_t ModuleOf(const TCallStackEntry& entry) {
    return entry.ModuleRecord != nullptr ? entry.ModuleRecord->ModuleHandle : 0;
}

}  // namespace

void ScanStackWith(TDrevnikStackList& list, const TStackScanParams& params, const TStackScanServices& services,
                   uintptr_t programCounter) {
    TScan(list, params, services).Run(programCounter);
}

void AddStackAddresses(TDrevnikStackList& list, const TStackScanParams& params, const TStackScanServices& services,
                       const std::vector<uintptr_t>& callSites) {
    TScan(list, params, services).AddAll(callSites);
}

void FilterStackEntries(TDrevnikStackList& list, int firstNew, bool insideIde, bool fullLookup, bool rawScan) {
    if (firstNew < 0) firstNew = 0;
    // 1. Inside the development environment only named entries outside the
    // framework's exception handling stay.
    if (insideIde && fullLookup) {
        for (int i = list.Count() - 1; i >= firstNew; --i) {
            const TCallStackEntry& e = list[i];
            if (!IsNamedKind(e.EntryKind) || e.RoutineName.find("HandleException") != std::string::npos) list.Delete(i);
        }
    }
    if (!rawScan) return;
    // 2. An address found again within the next two named entries of its
    // module is shown at its later place only.
    for (int i = list.Count() - 2; i >= firstNew; --i) {
        TCallStackEntry& e = list[i];
        if (!IsNamedKind(e.EntryKind)) continue;
        int found = 0;
        for (int n = i + 1; n < list.Count() && found < 2; ++n) {
            const TCallStackEntry& next = list[n];
            if (!IsNamedKind(next.EntryKind) || ModuleOf(next) != ModuleOf(e)) continue;
            ++found;
            if (next.CodeAddress == e.CodeAddress) {
                e.EntryKind = ekNothing;
                break;
            }
        }
    }
    // 3. A routine's first-line entry (a called routine) hides the stale
    // values between it and a deeper entry inside the same routine. The search
    // stays within one thread's section: it ends at an entry of another thread
    // or of the other stack kind, hiding nothing.
    for (int c = list.Count() - 1; c >= 1; --c) {
        const TCallStackEntry& e = list[c];
        if (e.EntryKind != ekUnitRoutineLine || e.LineInRoutine != 0) continue;
        for (int m = c - 1; m >= 0; --m) {
            const TCallStackEntry& o = list[m];
            if (o.ThreadId != e.ThreadId || o.OwnStack != e.OwnStack) break;
            if (o.LineInRoutine != 0 && o.UnitFile == e.UnitFile && o.ClassPart == e.ClassPart &&
                o.RoutineName == e.RoutineName) {
                for (int h = m + 1; h < c; ++h) list[h].EntryKind = ekNothing;
                break;
            }
        }
    }
}

}  // namespace drevnik
