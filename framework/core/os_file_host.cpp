// TOsFile on POSIX, for the host build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "framework/core/os_file.h"
#include "framework/core/text_codec.h"

namespace fw {
namespace {

thread_local int t_last_open_error = 0;

int H(intptr_t h) { return static_cast<int>(h); }

std::wstring ErrorText(int code) { return AnsiToWide(std::strerror(code)); }

}  // namespace

TOsFile TOsFile::Open(const std::filesystem::path& path, TOsFileMode mode) {
    int flags = O_RDONLY;
    switch (mode) {
        case TOsFileMode::Read: break;
        case TOsFileMode::Write: flags = O_WRONLY; break;
        case TOsFileMode::ReadWrite: flags = O_RDWR; break;
        case TOsFileMode::Create: flags = O_RDWR | O_CREAT | O_TRUNC; break;
    }
    TOsFile file;
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        t_last_open_error = errno;
        return file;
    }
    // Windows opens no folder as a file; neither do we.
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        t_last_open_error = EISDIR;
        ::close(fd);
        return file;
    }
    file.handle_ = fd;
    file.path_ = path;
    return file;
}

std::wstring TOsFile::LastOpenError() { return ErrorText(t_last_open_error); }

std::size_t TOsFile::Read(void* buffer, std::size_t count) {
    for (;;) {
        ssize_t got = ::read(H(handle_), buffer, count);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) Fail(L"Cannot read");
    }
}

void TOsFile::Write(const void* buffer, std::size_t count) {
    const auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
        ssize_t written = ::write(H(handle_), p, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            Fail(L"Cannot write");
        }
        p += written;
        count -= static_cast<std::size_t>(written);
    }
}

int64_t TOsFile::Seek(int64_t offset, Origin origin) {
    const int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR : SEEK_END;
    off_t at = ::lseek(H(handle_), static_cast<off_t>(offset), whence);
    if (at < 0) Fail(L"Cannot seek in");
    return at;
}

int64_t TOsFile::Size() {
    struct stat st;
    if (fstat(H(handle_), &st) != 0) Fail(L"Cannot get the size of");
    return st.st_size;
}

void TOsFile::Truncate() {
    if (::ftruncate(H(handle_), ::lseek(H(handle_), 0, SEEK_CUR)) != 0) Fail(L"Cannot change the size of");
}

void TOsFile::Flush() {
    if (::fsync(H(handle_)) != 0) Fail(L"Cannot write");
}

void TOsFile::Close() {
    if (handle_ == kNone) return;
    ::close(H(handle_));
    handle_ = kNone;
}

bool OsMoveFile(const std::filesystem::path& from, const std::filesystem::path& to, bool replaceExisting) {
    struct stat st;
    // rename() would put a file over an empty folder; Windows refuses.
    if (::stat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
    if (replaceExisting) return ::rename(from.c_str(), to.c_str()) == 0;
    // link() refuses an existing name, which rename() would replace.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

bool OsDeleteFile(const std::filesystem::path& path) { return ::unlink(path.c_str()) == 0; }

bool OsPathExists(const std::filesystem::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

bool OsIsReadOnlyFile(const std::filesystem::path& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

std::wstring OsLastErrorText() { return ErrorText(errno); }

}  // namespace fw
