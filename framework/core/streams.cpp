// TStream, the memory streams and TFileStream.
#include "framework/core/streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/core/file_io.h"

namespace fw {
namespace {

int64_t SeekTarget(int64_t offset, TSeekOrigin origin, int64_t position, int64_t size) {
    const int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position : size;
    if ((offset < 0 && base < -offset) || (offset > 0 && base > std::numeric_limits<int64_t>::max() - offset)) {
        throw EReadError(L"Stream seek to " + std::to_wstring(offset) + L" lies outside the stream");
    }
    return base + offset;
}

}  // namespace

int64_t TStream::Size() {
    const int64_t at = Position();
    const int64_t size = Seek(0, TSeekOrigin::soEnd);
    Seek(at, TSeekOrigin::soBeginning);
    return size;
}

void TStream::SetSize(int64_t) { throw EInvalidOperation(L"Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    auto* p = static_cast<uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t got = Read(p + done, count - done);
        if (got == 0) {
            throw EReadError(L"Stream read error: " + std::to_wstring(done) + L" of " + std::to_wstring(count) +
                             L" bytes");
        }
        done += got;
    }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    const auto* p = static_cast<const uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const std::size_t put = Write(p + done, count - done);
        if (put == 0) {
            throw EWriteError(L"Stream write error: " + std::to_wstring(done) + L" of " + std::to_wstring(count) +
                              L" bytes");
        }
        done += put;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count < 0) throw EInvalidOperation(L"Stream copy of a negative count");
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    uint8_t buffer[65536];
    int64_t left = count;
    while (left > 0) {
        const auto n = static_cast<std::size_t>(std::min<int64_t>(left, sizeof buffer));
        source.ReadBuffer(buffer, n);
        WriteBuffer(buffer, n);
        left -= static_cast<int64_t>(n);
    }
    return count;
}

// ---- TCustomMemoryStream

std::size_t TCustomMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= size_) return 0;
    const std::size_t n = std::min(count, size_ - position_);
    if (n) std::memcpy(buffer, memory_ + position_, n);
    position_ += n;
    return n;
}

std::size_t TCustomMemoryStream::Write(const void*, std::size_t) {
    throw EInvalidOperation(L"Stream is read-only");
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t to = SeekTarget(offset, origin, static_cast<int64_t>(position_), static_cast<int64_t>(size_));
    if (static_cast<uint64_t>(to) > std::numeric_limits<std::size_t>::max()) {
        throw EReadError(L"Stream seek to " + std::to_wstring(to) + L" lies outside the stream");
    }
    position_ = static_cast<std::size_t>(to);
    return to;
}

void TCustomMemoryStream::SaveToStream(TStream& stream) {
    if (size_) stream.WriteBuffer(memory_, size_);
}

void TCustomMemoryStream::SaveToFile(const std::filesystem::path& path) {
    WriteFileBytes(path, std::string_view(reinterpret_cast<const char*>(memory_), size_));
}

// ---- TMemoryStream

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (count > std::numeric_limits<std::size_t>::max() - position_) throw EOutOfMemory(L"Out of memory");
    const std::size_t end = position_ + count;
    if (end > data_.size()) {
        data_.resize(end);
        Reset();
    }
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = end;
    return count;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) throw EInvalidOperation(L"Stream size " + std::to_wstring(size) + L" is negative");
    data_.resize(static_cast<std::size_t>(size));
    Reset();
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
    Reset();
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const int64_t size = stream.Size();
    std::vector<uint8_t> data(static_cast<std::size_t>(size));
    if (size) stream.ReadBuffer(data.data(), data.size());
    data_ = std::move(data);
    position_ = 0;
    Reset();
}

void TMemoryStream::LoadFromFile(const std::filesystem::path& path) {
    TFileStream file(path, TFileMode::fmOpenRead);
    LoadFromStream(file);
}

// ---- TFileStream

TFileStream::TFileStream(const std::filesystem::path& path, TFileMode mode) {
    TOsFileMode os = TOsFileMode::Read;
    switch (mode) {
        case TFileMode::fmCreate: os = TOsFileMode::Create; break;
        case TFileMode::fmOpenRead: os = TOsFileMode::Read; break;
        case TFileMode::fmOpenWrite: os = TOsFileMode::Write; break;
        case TFileMode::fmOpenReadWrite: os = TOsFileMode::ReadWrite; break;
    }
    file_ = TOsFile::Open(path, os);
    if (!file_.IsOpen()) {
        throw EInOutError(std::wstring(mode == TFileMode::fmCreate ? L"Cannot create file \"" : L"Cannot open file \"") +
                          path.wstring() + L"\": " + TOsFile::LastOpenError());
    }
}

std::size_t TFileStream::Read(void* buffer, std::size_t count) { return file_.Read(buffer, count); }

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    file_.Write(buffer, count);
    return count;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int64_t to = SeekTarget(offset, origin, file_.Seek(0, TOsFile::Origin::Current),
                                  origin == TSeekOrigin::soEnd ? file_.Size() : 0);
    return file_.Seek(to, TOsFile::Origin::Begin);
}

void TFileStream::SetSize(int64_t size) {
    const int64_t at = file_.Seek(0, TOsFile::Origin::Current);
    file_.Seek(size, TOsFile::Origin::Begin);
    file_.Truncate();
    file_.Seek(std::min(at, size), TOsFile::Origin::Begin);
}

}  // namespace fw
