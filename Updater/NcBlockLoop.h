// The block loop that every transfer of TNetCopy runs. It reads pieces from a
// source and hands them to a sink, and reports in blocks of a fixed size
// (4096 bytes for network transfers, 32768 for file copies) with a progress
// call and a cancel test per block, exactly as a loop that read one block at
// a time would report. The pieces grow while the source keeps up and shrink
// when a read takes long, so a slow source still lets the caller pump its
// messages several times a second while a fast one is read in large pieces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

namespace oru {

class TNcPieceSource {
public:
    virtual ~TNcPieceSource() = default;
    // Up to `want` bytes; `got` 0 at the end. False when the read failed.
    virtual bool Read(char* buffer, std::size_t want, std::size_t& got) = 0;
};

class TNcPieceSink {
public:
    virtual ~TNcPieceSink() = default;
    // All `size` bytes; false when the write failed.
    virtual bool Write(const char* data, std::size_t size) = 0;
};

enum class TNcLoopEnd { Done, Cancelled, ReadFailed, WriteFailed };

struct TNcLoopResult {
    TNcLoopEnd End = TNcLoopEnd::Done;
    uint64_t Done = 0;      // bytes the sink took
    bool AnyBytes = false;  // some read returned bytes
};

struct TNcLoopSettings {
    std::size_t BlockSize = 4096;
    // A block shorter than BlockSize is the last (a local file read to its
    // end); otherwise only an empty read ends the loop.
    bool EndOnShortBlock = false;
    std::size_t MaxPiece = 256 * 1024;
};

class TNcBlockLoop {
public:
    // After each block, and once for the empty read that ends the loop, with
    // the bytes done so far (this block included).
    std::function<void(uint64_t done)> OnBlock;
    // Tested before the first read and after every block: true stops the
    // loop (the block just reported is still written).
    std::function<bool()> Cancelled;
    // After each piece has been written, for the caller's paced work.
    std::function<void()> OnPiece;
    // Milliseconds of a steady clock; tests replace it.
    std::function<double()> Clock;

    TNcLoopResult Run(TNcPieceSource& source, TNcPieceSink& sink, const TNcLoopSettings& settings);
    // The size of the next read.
    std::size_t PieceSize() const { return piece_; }

    // A read that took less than this grows the next piece; one that took
    // more than kSlowReadMs shrinks it.
    static constexpr double kFastReadMs = 8;
    static constexpr double kSlowReadMs = 32;

private:
    std::size_t piece_ = 0;
};

}  // namespace oru
