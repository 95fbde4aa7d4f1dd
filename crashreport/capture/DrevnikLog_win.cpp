// The component, its list, the dispatch and forwarding of events and the
// exported event entry points.
#include "crashreport/capture/DrevnikLog.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "crashreport/capture/DrevnikCaptureSwitches.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::mutex gListLock;
std::unique_ptr<std::vector<TDrevnikLog*>> gList;

std::vector<TDrevnikLog*> ListedComponents() {
    const std::lock_guard<std::mutex> guard(gListLock);
    return gList ? *gList : std::vector<TDrevnikLog*>();
}

const TDrevnikExceptionRecord& CurrentRecord() {
    static const TDrevnikExceptionRecord none;
    const TDrevnikExceptionRecord* record = ReportState().CurrentReport.load();
    return record != nullptr ? *record : none;
}

// Every listed component, last created first, then the global handler.
template <class Member, class Global, class... Args>
void Dispatch(Member member, Global global, Args&... args) {
    const std::vector<TDrevnikLog*> components = ListedComponents();
    for (auto it = components.rbegin(); it != components.rend(); ++it) {
        if (const auto& handler = (*it)->*member) handler(args...);
    }
    if (global != nullptr) global(args...);
}

bool IsOwnModuleAddress(const void* address) {
    HMODULE module = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<const char*>(address), &module) &&
           reinterpret_cast<TModuleHandle>(module) == LibraryModuleHandle();
}

template <class T>
T FaultModuleExport(const char* name) {
    return reinterpret_cast<T>(FindFaultModuleExport(0, name));
}

// A record of another copy of the library made current for this copy's
// handlers; the previous one comes back when it goes.
class TForeignEvent {
public:
    explicit TForeignEvent(const TDrevnikExceptionRecord* received) {
        TReportState& state = ReportState();
        saved_ = state.CurrentReport.load();
        if (received != nullptr) {
            local_.RaisedAddress = received->RaisedAddress;
            local_.FaultThreadId = received->FaultThreadId;
            local_.OsRecord = received->OsRecord;
            local_.CpuContext = received->CpuContext;
            local_.ReportTextCopy = received->ReportTextCopy;
            local_.Modules = received->Modules;
            local_.StackList = received->StackList;
            local_.RaisedObject = TranslateForeignException(*received);
            if (received->ReportOptions != nullptr && ReportSeams().ModuleInfoOfHandle != nullptr) {
                TDrevnikModuleInfo* info = ReportSeams().ModuleInfoOfHandle(received->ReportOptions->ModuleHandle());
                local_.ReportOptions = info != nullptr ? info->ModuleOptions.get() : nullptr;
            }
        }
        state.CurrentReport.store(&local_);
    }
    ~TForeignEvent() {
        try {
            if (local_.ReportOptions != nullptr) local_.ReportOptions->NotifyChanged();
        } catch (...) {
        }
        ReportState().CurrentReport.store(saved_);
    }
    TForeignEvent(const TForeignEvent&) = delete;
    TForeignEvent& operator=(const TForeignEvent&) = delete;

private:
    // The exception object as this copy can see it: its own class unchanged,
    // else an object made from the OS exception record, else none.
    static TRaisedObject TranslateForeignException(const TDrevnikExceptionRecord& record) {
        const TRaisedObject& object = record.RaisedObject;
        if (object.Type != nullptr && object.Object != nullptr && IsOwnModuleAddress(object.Type))
            return TRaisedObject{object.Type, object.Object, {}};
        if (record.OsRecord != nullptr && IsReadableMemory(record.OsRecord, sizeof(EXCEPTION_RECORD)))
            return MakeFaultObject(*record.OsRecord);
        return {};
    }

    TDrevnikExceptionRecord* saved_ = nullptr;
    TDrevnikExceptionRecord local_;
};

void CopyStrings(const TStrings* from, TStrings& to) {
    to.clear();
    if (from != nullptr) to.assign(from->begin(), from->end());
}

// A Boolean event received from another copy: its value in, this copy's
// handlers, its value back.
template <class F>
void ReceiveBoolean(const TDrevnikExceptionRecord* record, uint8_t* value, bool& own, F dispatch) {
    const TForeignEvent scope(record);
    if (value != nullptr) own = *value != 0;
    try {
        dispatch();
    } catch (...) {
    }
    if (value != nullptr) *value = own ? 1 : 0;
}

template <class Routine>
void ForwardBoolean(const char* name, bool& value) {
    if (const auto routine = FaultModuleExport<Routine>(name)) {
        uint8_t byte = value ? 1 : 0;
        routine(&CurrentRecord(), &byte);
        value = byte != 0;
    }
}

using TBooleanExport = void(__stdcall*)(const TDrevnikExceptionRecord*, uint8_t*);
using TActionExport = void(__stdcall*)(const TDrevnikExceptionRecord*, int32_t, uint8_t*);
using TListExport = void(__stdcall*)(const TDrevnikExceptionRecord*, const TStrings*);
using TPasswordExport = void(__stdcall*)(uint8_t*, int32_t);
using TPasswordExportEx = void(__stdcall*)(const TDrevnikExceptionRecord*, uint8_t*, int32_t);

void ToShortString(const std::string& text, uint8_t (&buffer)[256]) {
    const std::size_t length = std::min<std::size_t>(text.size(), 255);
    buffer[0] = static_cast<uint8_t>(length);
    std::memcpy(buffer + 1, text.data(), length);
}

}  // namespace

// ---- Component and list ------------------------------------------------------------------

TDrevnikLog::TDrevnikLog(fw::TComponent* owner) : fw::TComponent(owner) {
    {
        const std::lock_guard<std::mutex> guard(gListLock);
        if (gList) gList->push_back(this);
    }
    if (!CaptureSwitches().ThreadTrackingRunning.load() && IsDebuggerPresent()) {
        const std::string text = "\r\nYou used a 'TDrevnikLog' component in module \"" +
                                 ExtractFileName(GetLibraryModuleFileName()) +
                                 "\" without activating DrevnikLog.\r\nTo activate DrevnikLog, use the IDE "
                                 "\"Project/DrevnikLog Options...\" menu.\r\n\r\nNOTE: This warning appears only if "
                                 "the program is run from the IDE!";
        MessageBoxA(nullptr, text.c_str(), "Warning", 0x00242030);
    }
}

TDrevnikLog::~TDrevnikLog() {
    const std::lock_guard<std::mutex> guard(gListLock);
    if (gList) gList->erase(std::remove(gList->begin(), gList->end(), this), gList->end());
}

TGlobalHandlers& GlobalHandlers() {
    alignas(TGlobalHandlers) static unsigned char storage[sizeof(TGlobalHandlers)];
    static TGlobalHandlers& handlers = *new (storage) TGlobalHandlers;
    return handlers;
}

void CreateDrevnikLogList() {
    const std::lock_guard<std::mutex> guard(gListLock);
    if (!gList) gList = std::make_unique<std::vector<TDrevnikLog*>>();
}

void DestroyDrevnikLogList() {
    const std::lock_guard<std::mutex> guard(gListLock);
    gList.reset();
}

int DrevnikLogCount() {
    const std::lock_guard<std::mutex> guard(gListLock);
    return gList ? static_cast<int>(gList->size()) : 0;
}

void* FindFaultModuleExport(TModuleHandle module, const char* name) {
    if (module == 0) {
        const TDrevnikExceptionRecord* record = ReportState().CurrentReport.load();
        HMODULE found = nullptr;
        if (record == nullptr || record->RaisedAddress == 0 ||
            !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<const char*>(record->RaisedAddress), &found))
            return nullptr;
        module = reinterpret_cast<TModuleHandle>(found);
    }
    if (module == 0 || module == LibraryModuleHandle()) return nullptr;
    if (ReportSeams().HasLibraryData != nullptr && !ReportSeams().HasLibraryData(module)) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}

// ---- Event routines --------------------------------------------------------------------

void ForwardExceptionNotify() {
    ForwardBoolean<TBooleanExport>("DrevnikLog_ExceptionNotifyEvent", ReportState().EventHandled);
}
void DispatchExceptionNotify() {
    Dispatch(&TDrevnikLog::OnExceptionNotify, GlobalHandlers().GlobalExceptionNotify, CurrentRecord(),
             ReportState().EventHandled);
}
void FireExceptionNotify() {
    ForwardExceptionNotify();
    DispatchExceptionNotify();
}

void ForwardHandledNotify() {
    ForwardBoolean<TBooleanExport>("DrevnikLog_HandledExceptionNotifyEvent", ReportState().EventHandled);
}
void DispatchHandledNotify() {
    Dispatch(&TDrevnikLog::OnHandledExceptionNotify, GlobalHandlers().GlobalHandledExceptionNotify, CurrentRecord(),
             ReportState().EventHandled);
}
void FireHandledNotify() {
    ForwardHandledNotify();
    DispatchHandledNotify();
}

void ForwardActionEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& execute) {
    if (const auto routine = FaultModuleExport<TActionExport>("DrevnikLog_ExceptionActionNotifyEvent")) {
        uint8_t byte = execute ? 1 : 0;
        routine(&record, action, &byte);
        execute = byte != 0;
    }
}
void DispatchActionEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& execute) {
    Dispatch(&TDrevnikLog::OnExceptionActionNotify, GlobalHandlers().GlobalExceptionActionNotify, record, action,
             execute);
}
void ForwardErrorEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& retry) {
    if (const auto routine = FaultModuleExport<TActionExport>("DrevnikLog_ExceptionErrorNotifyEvent")) {
        uint8_t byte = retry ? 1 : 0;
        routine(&record, action, &byte);
        retry = byte != 0;
    }
}
void DispatchErrorEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& retry) {
    Dispatch(&TDrevnikLog::OnExceptionErrorNotify, GlobalHandlers().GlobalExceptionErrorNotify, record, action, retry);
}

bool FireActionEvent(TDrevnikActionType action) {
    bool execute = true;
    auto body = [&] {
        ForwardActionEvent(CurrentRecord(), action, execute);
        DispatchActionEvent(CurrentRecord(), action, execute);
    };
    RunEventInFaultingThread(body);
    return execute;
}

bool FireErrorEvent(TDrevnikActionType action) {
    bool retry = false;
    auto body = [&] {
        ForwardErrorEvent(CurrentRecord(), action, retry);
        DispatchErrorEvent(CurrentRecord(), action, retry);
    };
    RunEventInFaultingThread(body);
    return retry;
}

void ForwardPasswordRequest(TModuleHandle target) {
    uint8_t buffer[256];
    ToShortString(ReportState().Password, buffer);
    if (const auto ex = reinterpret_cast<TPasswordExportEx>(
            FindFaultModuleExport(target, "DrevnikLog_PasswordRequestEventEx"))) {
        ex(&CurrentRecord(), buffer, 255);
    } else if (const auto plain = reinterpret_cast<TPasswordExport>(
                   FindFaultModuleExport(target, "DrevnikLog_PasswordRequestEvent"))) {
        plain(buffer, 255);
    } else {
        return;
    }
    ReportState().Password.assign(reinterpret_cast<const char*>(buffer + 1), buffer[0]);
}
void DispatchPasswordRequest() {
    Dispatch(&TDrevnikLog::OnPasswordRequest, GlobalHandlers().GlobalPasswordRequest, CurrentRecord(),
             ReportState().Password);
}

void ForwardCustomDataRequest() {
    if (const auto routine = FaultModuleExport<TListExport>("DrevnikLog_CustomDataRequestEventEx"))
        routine(&CurrentRecord(), &ReportState().CustomDataFields);
}
void DispatchCustomDataRequest() {
    Dispatch(&TDrevnikLog::OnCustomDataRequest, GlobalHandlers().GlobalCustomDataRequest, CurrentRecord(),
             ReportState().CustomDataFields);
}
void FireCustomDataRequest() {
    ForwardCustomDataRequest();
    DispatchCustomDataRequest();
}

void ForwardAttachedFilesRequest() {
    if (const auto routine = FaultModuleExport<TListExport>("DrevnikLog_AttachedFilesRequestEvent"))
        routine(&CurrentRecord(), &ReportState().AttachedFiles);
}
void DispatchAttachedFilesRequest() {
    Dispatch(&TDrevnikLog::OnAttachedFilesRequest, GlobalHandlers().GlobalAttachedFilesRequest, CurrentRecord(),
             ReportState().AttachedFiles);
}
void FireAttachedFilesRequest() {
    ForwardAttachedFilesRequest();
    DispatchAttachedFilesRequest();
}

void ForwardWebFieldsRequest() {
    if (const auto routine = FaultModuleExport<TListExport>("DrevnikLog_CustomWebFieldsRequestEvent"))
        routine(&CurrentRecord(), &ReportState().WebFields);
}
void DispatchWebFieldsRequest() {
    Dispatch(&TDrevnikLog::OnCustomWebFieldsRequest, GlobalHandlers().GlobalCustomWebFieldsRequest, CurrentRecord(),
             ReportState().WebFields);
}
void FireWebFieldsRequest() {
    ForwardWebFieldsRequest();
    DispatchWebFieldsRequest();
}

void ForwardButtonClick() {
    ForwardBoolean<TBooleanExport>("DrevnikLog_CustomButtonClickEvent", ReportState().CloseDialog);
}
void DispatchButtonClick() {
    Dispatch(&TDrevnikLog::OnCustomButtonClickNotify, GlobalHandlers().GlobalCustomButtonClickNotify, CurrentRecord(),
             ReportState().CloseDialog);
}
void FireButtonClick() {
    ForwardButtonClick();
    DispatchButtonClick();
}

}  // namespace drevnik

using namespace drevnik;

namespace {

void ReceivePassword(uint8_t* password, int32_t maxLength) {
    if (password == nullptr) return;
    TReportState& state = ReportState();
    state.Password.assign(reinterpret_cast<const char*>(password + 1), password[0]);
    try {
        DispatchPasswordRequest();
    } catch (...) {
    }
    const std::size_t length =
        std::min<std::size_t>({state.Password.size(), 255, static_cast<std::size_t>(std::max(maxLength, 0))});
    password[0] = static_cast<uint8_t>(length);
    std::memcpy(password + 1, state.Password.data(), length);
}

// The string-list events: the sender's entries reach this copy's handlers;
// what they add stays in this copy's list.
template <class Dispatcher>
void ReceiveList(const TDrevnikExceptionRecord* record, const TStrings* list, TStrings& own, Dispatcher dispatch) {
    const TForeignEvent scope(record);
    CopyStrings(list, own);
    try {
        dispatch();
    } catch (...) {
    }
}

}  // namespace

extern "C" {

void __stdcall DrevnikLog_PasswordRequestEvent(uint8_t* password, int32_t maxLength) {
    ReceivePassword(password, maxLength);
}

void __stdcall DrevnikLog_PasswordRequestEventEx(const TDrevnikExceptionRecord* record, uint8_t* password,
                                                 int32_t maxLength) {
    const TForeignEvent scope(record);
    ReceivePassword(password, maxLength);
}

void __stdcall DrevnikLog_ExceptionNotifyEvent(const TDrevnikExceptionRecord* record, uint8_t* handled) {
    ReceiveBoolean(record, handled, ReportState().EventHandled, DispatchExceptionNotify);
}

void __stdcall DrevnikLog_HandledExceptionNotifyEvent(const TDrevnikExceptionRecord* record, uint8_t* handled) {
    ReceiveBoolean(record, handled, ReportState().EventHandled, DispatchHandledNotify);
}

void __stdcall DrevnikLog_ExceptionActionNotifyEvent(const TDrevnikExceptionRecord* record, int32_t action,
                                                     uint8_t* execute) {
    bool value = true;
    ReceiveBoolean(record, execute, value, [&] {
        DispatchActionEvent(CurrentRecord(), static_cast<TDrevnikActionType>(action), value);
    });
}

void __stdcall DrevnikLog_ExceptionErrorNotifyEvent(const TDrevnikExceptionRecord* record, int32_t action,
                                                    uint8_t* retry) {
    bool value = false;
    ReceiveBoolean(record, retry, value, [&] {
        DispatchErrorEvent(CurrentRecord(), static_cast<TDrevnikActionType>(action), value);
    });
}

void __stdcall DrevnikLog_CustomDataRequestEventEx(const TDrevnikExceptionRecord* record, const TStrings* list) {
    ReceiveList(record, list, ReportState().CustomDataFields, DispatchCustomDataRequest);
}

void __stdcall DrevnikLog_AttachedFilesRequestEvent(const TDrevnikExceptionRecord* record, const TStrings* list) {
    ReceiveList(record, list, ReportState().AttachedFiles, DispatchAttachedFilesRequest);
}

void __stdcall DrevnikLog_CustomWebFieldsRequestEvent(const TDrevnikExceptionRecord* record, const TStrings* list) {
    ReceiveList(record, list, ReportState().WebFields, DispatchWebFieldsRequest);
}

void __stdcall DrevnikLog_CustomButtonClickEvent(const TDrevnikExceptionRecord* record, uint8_t* closeDialog) {
    ReceiveBoolean(record, closeDialog, ReportState().CloseDialog, DispatchButtonClick);
}

}  // extern "C"
