// The shared block of a module's options: a named, paging-file-backed block
// per module per process ("<process id><module handle>" in upper-case hex),
// holding a 32-bit total size (data size + 4), then a marker byte (1 =
// options present) and the options stream. Changes made in one thread or
// module reach the others through it.
//
// Sound additions to the plain layout: writers and readers take a named lock
// of the block, so a reader never sees a publication half written; readers
// copy the bytes out under the lock and parse them afterwards, and a stream
// that does not parse leaves the options unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {

class TDrevnikModuleOptions;

// A mapped shared block; closed when it goes out of scope.
class TSharedBlock {
public:
    struct Impl;  // one per platform
    TSharedBlock();
    explicit TSharedBlock(std::unique_ptr<Impl> impl);
    ~TSharedBlock();
    TSharedBlock(TSharedBlock&&) noexcept;
    TSharedBlock& operator=(TSharedBlock&&) noexcept;
    TSharedBlock(const TSharedBlock&) = delete;
    TSharedBlock& operator=(const TSharedBlock&) = delete;

    explicit operator bool() const { return impl_ != nullptr; }
    uint8_t* Data() const;        // just behind the size word
    std::size_t Capacity() const;  // data bytes the block holds
    void Close();

private:
    std::unique_ptr<Impl> impl_;
};

// Serializes the writers and readers of one block, across threads and
// processes. Gives up after the time-out (Locked() is then false).
class TSharedBlockLock {
public:
    struct Impl;
    TSharedBlockLock(uint32_t processId, TModuleHandle module, unsigned timeoutMs = 5000);
    ~TSharedBlockLock();
    TSharedBlockLock(const TSharedBlockLock&) = delete;
    TSharedBlockLock& operator=(const TSharedBlockLock&) = delete;
    bool Locked() const;

private:
    std::unique_ptr<Impl> impl_;
};

std::string SharedBlockName(uint32_t processId, TModuleHandle module);

// Creates the block of `module` in this process with room for `dataSize`
// bytes, or opens the existing one, which keeps the size it was made with
// (see Capacity). A dataSize of 0 only opens an existing block. An empty
// TSharedBlock when that fails.
TSharedBlock OpenSharedBlock(TModuleHandle module, std::size_t dataSize);
TSharedBlock OpenSharedBlockOf(uint32_t processId, TModuleHandle module, std::size_t dataSize);
void CloseSharedBlock(TSharedBlock& block);

// Writes the marker byte 1 and the options stream into the block of the
// options' module. The block stays open until the next publication or
// CloseSharedOptionsBlock. A block that another holder keeps open with less
// room than the stream needs gets the marker 0 instead of a cut stream.
void PublishSharedOptions(const TDrevnikModuleOptions* options);
// Loads the options of the options' module from its block in this process,
// in this build's own layout; false (options unchanged) when there is no
// block, the marker is 0 or the stream does not parse.
bool LoadSharedOptions(TDrevnikModuleOptions* options);
// The same from the block of another process.
bool LoadSharedOptionsOf(TDrevnikModuleOptions* options, uint32_t processId, TModuleHandle module);

// Start-up's empty block of the library's module: one data byte, marker 0.
void ResetSharedOptionsBlock(TModuleHandle module);
// Shut-down: closes the block this copy of the library published last.
void CloseSharedOptionsBlock();

}  // namespace drevnik
