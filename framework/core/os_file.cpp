// The platform-free parts of TOsFile.
#include "framework/core/os_file.h"

#include "framework/core/exceptions.h"

namespace fw {

TOsFile& TOsFile::operator=(TOsFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        path_ = std::move(other.path_);
        other.handle_ = kNone;
    }
    return *this;
}

void TOsFile::Fail(const wchar_t* what) const {
    std::wstring reason = OsLastErrorText();
    throw EInOutError(std::wstring(what) + L" \"" + path_.wstring() + L"\"" + (reason.empty() ? L"" : L": " + reason));
}

}  // namespace fw
