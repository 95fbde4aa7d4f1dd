// Streams: TStream (read, write, seek, size; ReadBuffer and WriteBuffer that
// raise on a short transfer; CopyFrom), TMemoryStream (a growable block in
// memory, loadable from and savable to a file or stream) and TFileStream
// (a file on disk). TCustomMemoryStream reads a block that someone else
// owns (TResourceStream on Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "framework/core/exceptions.h"
#include "framework/core/os_file.h"

namespace fw {

// A read or write that moved fewer bytes than asked (EReadError for reads).
class EWriteError : public Exception { using Exception::Exception; };

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream {
public:
    virtual ~TStream() = default;
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;

    // Up to `count` bytes; fewer at the end of the stream.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Up to `count` bytes; fewer when the stream cannot take more.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // The new position. A position before the start raises EReadError; one
    // past the end is allowed (a write there extends the stream).
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size();
    // EInvalidOperation where the stream cannot change its size.
    virtual void SetSize(int64_t size);

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }

    // Exactly `count` bytes, or EReadError / EWriteError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    // Copies `count` bytes from the source's position; a count of 0 copies
    // the whole source from its start. Returns the bytes copied.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// Reads a block of memory it does not own.
class TCustomMemoryStream : public TStream {
public:
    const uint8_t* Memory() const { return memory_; }
    std::size_t Read(void* buffer, std::size_t count) override;
    // EInvalidOperation: the block is read-only.
    std::size_t Write(const void* buffer, std::size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(size_); }
    void SaveToStream(TStream& stream);
    // Through TReplacingFile: the file is whole or as it was.
    void SaveToFile(const std::filesystem::path& path);

protected:
    void SetPointer(const uint8_t* memory, std::size_t size) {
        memory_ = memory;
        size_ = size;
    }
    std::size_t position_ = 0;

private:
    const uint8_t* memory_ = nullptr;
    std::size_t size_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    uint8_t* Memory() { return data_.data(); }
    const uint8_t* Memory() const { return data_.data(); }
    std::size_t Write(const void* buffer, std::size_t count) override;
    // Keeps the position, even past a new, smaller end.
    void SetSize(int64_t size) override;
    void Clear();
    // The whole source from its start; the position goes to 0.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::filesystem::path& path);

private:
    void Reset() { SetPointer(data_.data(), data_.size()); }
    std::vector<uint8_t> data_;
};

enum class TFileMode { fmCreate, fmOpenRead, fmOpenWrite, fmOpenReadWrite };

class TFileStream : public TStream {
public:
    // fmCreate makes the file or empties it. EInOutError (EFOpenError's
    // message) when the file cannot be opened.
    TFileStream(const std::filesystem::path& path, TFileMode mode);
    const std::filesystem::path& FileName() const { return file_.Path(); }
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return file_.Size(); }
    void SetSize(int64_t size) override;

private:
    TOsFile file_;
};

}  // namespace fw
