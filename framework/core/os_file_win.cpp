// TOsFile on the Win32 file API.
#include <windows.h>

#include <algorithm>

#include "framework/core/os_file.h"

namespace fw {
namespace {

thread_local DWORD t_last_open_error = 0;

HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::wstring ErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (text.empty()) text = L"error " + std::to_wstring(code);
    return text;
}

// Single calls move at most this much, so sizes never overflow a DWORD.
constexpr std::size_t kChunk = 1u << 20;

}  // namespace

TOsFile TOsFile::Open(const std::filesystem::path& path, TOsFileMode mode) {
    DWORD access = GENERIC_READ, share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, disposition = OPEN_EXISTING;
    switch (mode) {
        case TOsFileMode::Read: break;
        case TOsFileMode::Write: access = GENERIC_WRITE; share = FILE_SHARE_READ; break;
        case TOsFileMode::ReadWrite: access = GENERIC_READ | GENERIC_WRITE; share = FILE_SHARE_READ; break;
        case TOsFileMode::Create: access = GENERIC_READ | GENERIC_WRITE; share = 0; disposition = CREATE_ALWAYS; break;
    }
    HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    TOsFile file;
    if (h == INVALID_HANDLE_VALUE) {
        t_last_open_error = GetLastError();
        return file;
    }
    file.handle_ = reinterpret_cast<intptr_t>(h);
    file.path_ = path;
    return file;
}

std::wstring TOsFile::LastOpenError() { return ErrorText(t_last_open_error); }

std::size_t TOsFile::Read(void* buffer, std::size_t count) {
    DWORD got = 0;
    if (!ReadFile(H(handle_), buffer, static_cast<DWORD>(std::min(count, kChunk)), &got, nullptr)) Fail(L"Cannot read");
    return got;
}

void TOsFile::Write(const void* buffer, std::size_t count) {
    const auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(H(handle_), p, static_cast<DWORD>(std::min(count, kChunk)), &written, nullptr)) Fail(L"Cannot write");
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            Fail(L"Cannot write");
        }
        p += written;
        count -= written;
    }
}

int64_t TOsFile::Seek(int64_t offset, Origin origin) {
    LARGE_INTEGER to, now;
    to.QuadPart = offset;
    const DWORD method = origin == Origin::Begin ? FILE_BEGIN : origin == Origin::Current ? FILE_CURRENT : FILE_END;
    if (!SetFilePointerEx(H(handle_), to, &now, method)) Fail(L"Cannot seek in");
    return now.QuadPart;
}

int64_t TOsFile::Size() {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(H(handle_), &size)) Fail(L"Cannot get the size of");
    return size.QuadPart;
}

void TOsFile::Truncate() {
    if (!SetEndOfFile(H(handle_))) Fail(L"Cannot change the size of");
}

void TOsFile::Flush() {
    if (!FlushFileBuffers(H(handle_))) Fail(L"Cannot write");
}

void TOsFile::Close() {
    if (handle_ == kNone) return;
    CloseHandle(H(handle_));
    handle_ = kNone;
}

bool OsMoveFile(const std::filesystem::path& from, const std::filesystem::path& to, bool replaceExisting) {
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    return MoveFileExW(from.c_str(), to.c_str(), flags) != FALSE;
}

bool OsDeleteFile(const std::filesystem::path& path) { return DeleteFileW(path.c_str()) != FALSE; }

bool OsPathExists(const std::filesystem::path& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool OsIsReadOnlyFile(const std::filesystem::path& path) {
    const DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0 && (a & FILE_ATTRIBUTE_READONLY) != 0;
}

std::wstring OsLastErrorText() { return ErrorText(GetLastError()); }

}  // namespace fw
