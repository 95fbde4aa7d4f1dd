// Whole-file reads and the replacing writer.
#include "framework/core/file_io.h"

#include "framework/core/exceptions.h"

namespace fw {

bool TryReadFileBytes(const std::filesystem::path& path, std::string& bytes, std::size_t maxSize) {
    TOsFile file = TOsFile::Open(path, TOsFileMode::Read);
    if (!file.IsOpen()) return false;
    const int64_t size = file.Size();
    if (size < 0 || static_cast<uint64_t>(size) > maxSize) return false;
    std::string data;
    data.reserve(static_cast<std::size_t>(size));
    char chunk[65536];
    // Read to the end rather than to the size seen at the open: a file that
    // grows meanwhile is read whole, up to the limit.
    for (;;) {
        std::size_t got = file.Read(chunk, sizeof chunk);
        if (got == 0) break;
        if (got > maxSize - data.size()) return false;
        data.append(chunk, got);
    }
    bytes = std::move(data);
    return true;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::string bytes;
    if (!TryReadFileBytes(path, bytes)) {
        throw EInOutError(L"Cannot open file \"" + path.wstring() + L"\": " + TOsFile::LastOpenError());
    }
    return bytes;
}

std::optional<TReplacingFile> TReplacingFile::Create(const std::filesystem::path& target) {
    // A read-only file cannot be opened for writing, so it is not replaced
    // either (Wine's MoveFileExW would replace it).
    if (OsIsReadOnlyFile(target)) return std::nullopt;
    // A temporary name may be taken for good (a folder of that name, a
    // read-only file, one a crashed writer left locked): the next one is tried.
    for (int attempt = 1; attempt <= kTemporaryNames; ++attempt) {
        std::filesystem::path temporary = target;
        temporary += attempt == 1 ? std::string(".tmp") : "." + std::to_string(attempt) + ".tmp";
        TOsFile file = TOsFile::Open(temporary, TOsFileMode::Create);
        if (file.IsOpen()) return TReplacingFile(target, std::move(temporary), std::move(file));
    }
    return std::nullopt;
}

void TReplacingFile::Write(const void* data, std::size_t size) {
    if (!file_.IsOpen()) throw EInOutError(L"Cannot write \"" + temporary_.wstring() + L"\": the file is closed");
    try {
        file_.Write(data, size);
    } catch (...) {
        Discard();
        throw;
    }
}

bool TReplacingFile::Commit(bool replaceExisting) {
    if (!file_.IsOpen()) return false;
    try {
        file_.Flush();
    } catch (...) {
        Discard();
        throw;
    }
    file_.Close();
    if (!OsMoveFile(temporary_, target_, replaceExisting)) {
        OsDeleteFile(temporary_);
        temporary_.clear();
        return false;
    }
    temporary_.clear();
    return true;
}

void TReplacingFile::Discard() {
    file_.Close();
    if (!temporary_.empty()) OsDeleteFile(temporary_);
    temporary_.clear();
}

bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    auto file = TReplacingFile::Create(path);
    if (!file) return false;
    file->Write(bytes);
    return file->Commit();
}

void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    auto file = TReplacingFile::Create(path);
    if (!file) throw EInOutError(L"Cannot create file \"" + path.wstring() + L"\"");
    file->Write(bytes);
    if (!file->Commit()) throw EInOutError(L"Cannot replace file \"" + path.wstring() + L"\"");
}

}  // namespace fw
