// TNcBlockLoop.
#include "Updater/NcBlockLoop.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace oru {

TNcLoopResult TNcBlockLoop::Run(TNcPieceSource& source, TNcPieceSink& sink, const TNcLoopSettings& settings) {
    const std::size_t block = std::max<std::size_t>(settings.BlockSize, 1);
    const std::size_t maxPiece = std::max(block, settings.MaxPiece / block * block);
    std::function<double()> now = Clock;
    if (!now) {
        now = [] {
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
        };
    }
    std::vector<char> buffer(maxPiece);
    piece_ = block;
    TNcLoopResult result;
    if (Cancelled && Cancelled()) {
        result.End = TNcLoopEnd::Cancelled;
        return result;
    }
    for (;;) {
        std::size_t got = 0;
        const double start = now();
        if (!source.Read(buffer.data(), piece_, got)) {
            result.End = TNcLoopEnd::ReadFailed;
            return result;
        }
        const double took = now() - start;
        got = std::min(got, piece_);
        if (got == 0) {
            if (OnBlock) OnBlock(result.Done);
            return result;
        }
        result.AnyBytes = true;

        // Hand the piece on block by block, as far as the caller lets it go.
        std::size_t accepted = 0;
        bool last = false;
        bool cancelled = false;
        while (accepted < got) {
            const std::size_t n = std::min(block, got - accepted);
            accepted += n;
            if (OnBlock) OnBlock(result.Done + accepted);
            if (settings.EndOnShortBlock && n < block) {
                last = true;
                break;
            }
            if (Cancelled && Cancelled()) {
                cancelled = true;
                break;
            }
        }
        if (!sink.Write(buffer.data(), accepted)) {
            result.End = TNcLoopEnd::WriteFailed;
            return result;
        }
        result.Done += accepted;
        if (last) return result;
        if (cancelled) {
            result.End = TNcLoopEnd::Cancelled;
            return result;
        }
        if (OnPiece) OnPiece();

        if (got == piece_ && took < kFastReadMs) {
            piece_ = std::min(piece_ * 2, maxPiece);
        } else if (took > kSlowReadMs) {
            piece_ = std::max(piece_ / 2 / block * block, block);
        }
    }
}

}  // namespace oru
