// Whole-file reads and writes. A write never leaves a cut or empty file: the
// bytes go to a temporary file beside the target ("<name>.tmp", or
// "<name>.2.tmp" up to "<name>.16.tmp" while the earlier names are taken),
// which is flushed and then moved over the target in one step
// (TReplacingFile, also for writers that stream, such as a download).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "framework/core/os_file.h"

namespace fw {

// The whole file; EInOutError naming the path when it cannot be opened or read.
std::string ReadFileBytes(const std::filesystem::path& path);
// False (and `bytes` untouched) when the file cannot be opened (missing, a
// folder, no access) or is larger than maxSize; EInOutError when a read
// fails after the open.
bool TryReadFileBytes(const std::filesystem::path& path, std::string& bytes,
                      std::size_t maxSize = std::numeric_limits<std::size_t>::max());

// Replaces the file's contents. False when the temporary file cannot be made
// or cannot be moved into place, or the target is read-only (the old file is
// then untouched and no temporary file stays); EInOutError when a write fails.
bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes);
// The same, with EInOutError for every failure.
void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);

// A file that replaces its target only when Commit succeeds; dropped
// uncommitted, it leaves the target as it was and deletes its temporary file.
class TReplacingFile {
public:
    // How many temporary names Create tries.
    static constexpr int kTemporaryNames = 16;
    // Nothing when the target is a read-only file or no temporary file can
    // be created.
    static std::optional<TReplacingFile> Create(const std::filesystem::path& target);
    ~TReplacingFile() { Discard(); }
    TReplacingFile(TReplacingFile&& other) noexcept
        : target_(std::move(other.target_)), temporary_(std::move(other.temporary_)), file_(std::move(other.file_)) {
        other.temporary_.clear();
    }
    TReplacingFile& operator=(TReplacingFile&& other) noexcept {
        if (this != &other) {
            Discard();
            target_ = std::move(other.target_);
            temporary_ = std::move(other.temporary_);
            file_ = std::move(other.file_);
            other.temporary_.clear();
        }
        return *this;
    }
    TReplacingFile(const TReplacingFile&) = delete;
    TReplacingFile& operator=(const TReplacingFile&) = delete;

    const std::filesystem::path& Target() const { return target_; }
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

    // All the bytes, or EInOutError (the temporary file is then deleted).
    void Write(const void* data, std::size_t size);
    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
    // Flushes and moves the file over the target (or only where there is
    // none, without `replaceExisting`). False when the move fails; the
    // temporary file is then deleted. EInOutError when the flush fails.
    bool Commit(bool replaceExisting = true);
    void Discard();

private:
    TReplacingFile(std::filesystem::path target, std::filesystem::path temporary, TOsFile file)
        : target_(std::move(target)), temporary_(std::move(temporary)), file_(std::move(file)) {}
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    TOsFile file_;
};

}  // namespace fw
