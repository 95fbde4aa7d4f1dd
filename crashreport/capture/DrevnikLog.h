// TDrevnikLog: the component through which a program takes part in a report
// (suppress it, veto or watch each action, add data, files and web fields,
// answer the password request and the dialog's custom button), the global
// handlers, the dispatch to both, and the exported event entry points that
// carry events between copies of the library in one process.
//
// Dispatch: the most recently created component first, then the global
// handler; a var argument passes from handler to handler. Forward: the
// module where the exception happened gets the event first, through its
// export, when it carries a copy of the library of its own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "crashreport/capture/DrevnikReportRecord.h"
#include "framework/core/component.h"

namespace drevnik {

using TStrings = std::vector<std::string>;

using TExceptionNotify = std::function<void(const TDrevnikExceptionRecord& record, bool& handled)>;
using TExceptionActionNotify =
    std::function<void(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& execute)>;
using TExceptionErrorNotify =
    std::function<void(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& retry)>;
using TPasswordRequestNotify = std::function<void(const TDrevnikExceptionRecord& record, std::string& password)>;
using TCustomDataRequestNotify = std::function<void(const TDrevnikExceptionRecord& record, TStrings& dataFields)>;
using TAttachedFilesRequestNotify =
    std::function<void(const TDrevnikExceptionRecord& record, TStrings& attachedFiles)>;
using TCustomWebFieldsRequestNotify = std::function<void(const TDrevnikExceptionRecord& record, TStrings& webFields)>;
using TCustomButtonClickNotify = std::function<void(const TDrevnikExceptionRecord& record, bool& closeDialog)>;

class TDrevnikLog : public fw::TComponent {
public:
    // Joins the module's component list (when the library runs); warns
    // under a debugger when the library is not running in this module.
    explicit TDrevnikLog(fw::TComponent* owner);
    ~TDrevnikLog() override;

    TExceptionNotify OnExceptionNotify;
    TExceptionNotify OnHandledExceptionNotify;
    TExceptionActionNotify OnExceptionActionNotify;
    TExceptionErrorNotify OnExceptionErrorNotify;
    TPasswordRequestNotify OnPasswordRequest;
    TCustomDataRequestNotify OnCustomDataRequest;
    TAttachedFilesRequestNotify OnAttachedFilesRequest;
    TCustomWebFieldsRequestNotify OnCustomWebFieldsRequest;
    TCustomButtonClickNotify OnCustomButtonClickNotify;
};

// The global handlers: plain procedures, empty unless the program sets them.
struct TGlobalHandlers {
    void (*GlobalExceptionNotify)(const TDrevnikExceptionRecord&, bool&) = nullptr;
    void (*GlobalHandledExceptionNotify)(const TDrevnikExceptionRecord&, bool&) = nullptr;
    void (*GlobalExceptionActionNotify)(const TDrevnikExceptionRecord&, TDrevnikActionType, bool&) = nullptr;
    void (*GlobalExceptionErrorNotify)(const TDrevnikExceptionRecord&, TDrevnikActionType, bool&) = nullptr;
    void (*GlobalPasswordRequest)(const TDrevnikExceptionRecord&, std::string&) = nullptr;
    void (*GlobalCustomDataRequest)(const TDrevnikExceptionRecord&, TStrings&) = nullptr;
    void (*GlobalAttachedFilesRequest)(const TDrevnikExceptionRecord&, TStrings&) = nullptr;
    void (*GlobalCustomWebFieldsRequest)(const TDrevnikExceptionRecord&, TStrings&) = nullptr;
    void (*GlobalCustomButtonClickNotify)(const TDrevnikExceptionRecord&, bool&) = nullptr;
};
TGlobalHandlers& GlobalHandlers();

// The module's component list: created by the library's start-up, freed by
// its shut-down. Components made outside that span are not listed.
void CreateDrevnikLogList();
void DestroyDrevnikLogList();
int DrevnikLogCount();

// ---- Event routines the report calls (in the faulting thread) ----
// On the report's record (CurrentReport) and its event data.
void ForwardExceptionNotify();
void DispatchExceptionNotify();
void FireExceptionNotify();
void ForwardHandledNotify();
void DispatchHandledNotify();
void FireHandledNotify();
void ForwardActionEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& execute);
void DispatchActionEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& execute);
void ForwardErrorEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& retry);
void DispatchErrorEvent(const TDrevnikExceptionRecord& record, TDrevnikActionType action, bool& retry);
void ForwardPasswordRequest(TModuleHandle target);
void DispatchPasswordRequest();
void ForwardCustomDataRequest();
void DispatchCustomDataRequest();
void FireCustomDataRequest();
void ForwardAttachedFilesRequest();
void DispatchAttachedFilesRequest();
void FireAttachedFilesRequest();
void ForwardWebFieldsRequest();
void DispatchWebFieldsRequest();
void FireWebFieldsRequest();
void ForwardButtonClick();
void DispatchButtonClick();
void FireButtonClick();

// The action event (forward, then dispatch) run in the faulting thread:
// whether the action goes ahead. The error event: whether to retry.
bool FireActionEvent(TDrevnikActionType action);
bool FireErrorEvent(TDrevnikActionType action);

// The export `name` of `module` (none: the module of the current report's
// exception address) when that module carries a compatible copy of the
// library other than this one; null otherwise.
void* FindFaultModuleExport(TModuleHandle module, const char* name);

}  // namespace drevnik

// The event entry points of this copy, for other copies (found by name).
extern "C" {
void __stdcall DrevnikLog_PasswordRequestEvent(uint8_t* password, int32_t maxLength);
void __stdcall DrevnikLog_PasswordRequestEventEx(const drevnik::TDrevnikExceptionRecord* record, uint8_t* password,
                                                 int32_t maxLength);
void __stdcall DrevnikLog_ExceptionNotifyEvent(const drevnik::TDrevnikExceptionRecord* record, uint8_t* handled);
void __stdcall DrevnikLog_HandledExceptionNotifyEvent(const drevnik::TDrevnikExceptionRecord* record,
                                                      uint8_t* handled);
void __stdcall DrevnikLog_ExceptionActionNotifyEvent(const drevnik::TDrevnikExceptionRecord* record, int32_t action,
                                                     uint8_t* execute);
void __stdcall DrevnikLog_ExceptionErrorNotifyEvent(const drevnik::TDrevnikExceptionRecord* record, int32_t action,
                                                    uint8_t* retry);
void __stdcall DrevnikLog_CustomDataRequestEventEx(const drevnik::TDrevnikExceptionRecord* record,
                                                   const drevnik::TStrings* list);
void __stdcall DrevnikLog_AttachedFilesRequestEvent(const drevnik::TDrevnikExceptionRecord* record,
                                                    const drevnik::TStrings* list);
void __stdcall DrevnikLog_CustomWebFieldsRequestEvent(const drevnik::TDrevnikExceptionRecord* record,
                                                      const drevnik::TStrings* list);
void __stdcall DrevnikLog_CustomButtonClickEvent(const drevnik::TDrevnikExceptionRecord* record,
                                                 uint8_t* closeDialog);
}
