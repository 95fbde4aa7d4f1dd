// A file handle of the operating system, for the whole-file helpers and the
// file stream: open, read, write, seek, flush, close, and the few calls on
// names (move into place, delete, read-only test). Failures raise
// EInOutError naming the path and the system's reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace fw {

enum class TOsFileMode {
    Read,       // an existing file, others may read, write and delete it meanwhile
    Write,      // an existing file, for writing
    ReadWrite,  // an existing file, for reading and writing
    Create,     // a new or emptied file, for reading and writing, not shared
};

class TOsFile {
public:
    // A closed file that opens nothing.
    TOsFile() = default;
    ~TOsFile() { Close(); }
    TOsFile(TOsFile&& other) noexcept : handle_(other.handle_), path_(std::move(other.path_)) { other.handle_ = kNone; }
    TOsFile& operator=(TOsFile&& other) noexcept;
    TOsFile(const TOsFile&) = delete;
    TOsFile& operator=(const TOsFile&) = delete;

    // A closed TOsFile when the file cannot be opened in that mode (missing,
    // a folder, no access); LastOpenError() then tells why.
    static TOsFile Open(const std::filesystem::path& path, TOsFileMode mode);
    // The reason of the last failed Open on this thread, as the system says it.
    static std::wstring LastOpenError();

    bool IsOpen() const { return handle_ != kNone; }
    const std::filesystem::path& Path() const { return path_; }

    // Up to `count` bytes; 0 at the end of the file.
    std::size_t Read(void* buffer, std::size_t count);
    // All `count` bytes, or EInOutError.
    void Write(const void* buffer, std::size_t count);
    enum class Origin { Begin, Current, End };
    int64_t Seek(int64_t offset, Origin origin);
    int64_t Size();
    // Cuts or extends the file at the current position.
    void Truncate();
    // Waits until what was written is on the disk.
    void Flush();
    void Close();

private:
    [[noreturn]] void Fail(const wchar_t* what) const;
    static constexpr intptr_t kNone = -1;
    intptr_t handle_ = kNone;
    std::filesystem::path path_;
};

// Moves `from` onto `to`, replacing an existing `to` only when asked; false
// when it cannot (then both stay as they were).
bool OsMoveFile(const std::filesystem::path& from, const std::filesystem::path& to, bool replaceExisting);
bool OsDeleteFile(const std::filesystem::path& path);
// True when anything stands at the path (a file, a folder, a link), also
// one that cannot be opened.
bool OsPathExists(const std::filesystem::path& path);
// True for an existing file marked read-only.
bool OsIsReadOnlyFile(const std::filesystem::path& path);
// The system's text for the last error of this thread (errno or GetLastError).
std::wstring OsLastErrorText();

}  // namespace fw
