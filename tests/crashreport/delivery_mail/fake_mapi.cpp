// A mail client's Simple MAPI library for the tests: logs on, records every
// message it is given into the file named by KYN_FAKE_MAPI_RECORD and answers
// with the number in KYN_FAKE_MAPI_RESULT (0 when unset).
#include <windows.h>

#include <mapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Field(const char* text) { return text != nullptr ? text : "(null)"; }

// Read from the process's environment block: the test sets it with SetEnvironmentVariable.
std::string Env(const char* name) {
    char value[1024] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

}  // namespace

extern "C" {

__declspec(dllexport) ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR, LPSTR, FLAGS flags, ULONG, LPLHANDLE session) {
    *session = 0x4D41;
    return (flags & MAPI_LOGON_UI) != 0 ? SUCCESS_SUCCESS : MAPI_E_LOGIN_FAILURE;
}

__declspec(dllexport) ULONG WINAPI MAPILogoff(LHANDLE, ULONG_PTR, FLAGS, ULONG) { return SUCCESS_SUCCESS; }

__declspec(dllexport) ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS flags,
                                               ULONG) {
    std::string record = "session=" + std::to_string(session) + "\nflags=" + std::to_string(flags) + "\n";
    record += "subject=" + Field(message->lpszSubject) + "\n";
    record += "note=" + Field(message->lpszNoteText) + "\n";
    for (ULONG i = 0; i < message->nRecipCount; ++i) {
        const MapiRecipDesc& r = message->lpRecips[i];
        record += "recip=" + std::to_string(r.ulRecipClass) + "|" + Field(r.lpszName) + "|" + Field(r.lpszAddress) +
                  "\n";
    }
    for (ULONG i = 0; i < message->nFileCount; ++i) {
        const MapiFileDesc& f = message->lpFiles[i];
        record += "file=" + std::to_string(static_cast<long>(f.nPosition)) + "|" + Field(f.lpszPathName) + "|" +
                  Field(f.lpszFileName) + "\n";
    }
    if (const std::string path = Env("KYN_FAKE_MAPI_RECORD"); !path.empty()) {
        if (FILE* out = std::fopen(path.c_str(), "ab")) {
            std::fwrite(record.data(), 1, record.size(), out);
            std::fclose(out);
        }
    }
    const std::string result = Env("KYN_FAKE_MAPI_RESULT");
    return result.empty() ? SUCCESS_SUCCESS : static_cast<ULONG>(std::atoi(result.c_str()));
}

}  // extern "C"
