// The transfers' block loop: what callers observe per block, whatever the
// size of the pieces it reads.
#include "Updater/NcBlockLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace oru {
namespace {

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i % 251);
    return s;
}

// Serves `data`; each read may be cut to the next entry of `limits` (0: no
// limit), may take `msPerRead` of the fake clock, and fails once `failAt`
// bytes have been served.
class FakeSource : public TNcPieceSource {
public:
    std::string data;
    std::vector<size_t> limits;
    size_t failAt = SIZE_MAX;
    double msPerRead = 0;
    double* clock = nullptr;
    std::vector<size_t> asked;
    size_t pos = 0;

    bool Read(char* buffer, size_t want, size_t& got) override {
        asked.push_back(want);
        if (clock) *clock += msPerRead;
        if (pos >= failAt) return false;
        size_t n = std::min(want, data.size() - pos);
        if (asked.size() <= limits.size() && limits[asked.size() - 1] != 0) n = std::min(n, limits[asked.size() - 1]);
        std::copy(data.begin() + static_cast<std::ptrdiff_t>(pos), data.begin() + static_cast<std::ptrdiff_t>(pos + n),
                  buffer);
        pos += n;
        got = n;
        return true;
    }
};

class FakeSink : public TNcPieceSink {
public:
    std::string written;
    size_t failAfter = SIZE_MAX;  // bytes taken before a write fails
    bool Write(const char* d, size_t n) override {
        if (written.size() + n > failAfter) return false;
        written.append(d, n);
        return true;
    }
};

struct LoopRun {
    TNcLoopResult result;
    std::vector<uint64_t> blocks;
    std::string written;
};

// Runs the loop; `cancelAtBlock` (1-based) asks for a cancel after that block.
LoopRun RunLoop(FakeSource& src, FakeSink& sink, TNcLoopSettings settings, size_t cancelAtBlock = 0) {
    LoopRun run;
    TNcBlockLoop loop;
    double now = 0;
    src.clock = &now;
    loop.Clock = [&] { return now; };
    loop.OnBlock = [&](uint64_t done) { run.blocks.push_back(done); };
    loop.Cancelled = [&] { return cancelAtBlock != 0 && run.blocks.size() >= cancelAtBlock; };
    run.result = loop.Run(src, sink, settings);
    run.written = sink.written;
    return run;
}

std::vector<uint64_t> Steps(std::initializer_list<uint64_t> sizes) {
    std::vector<uint64_t> out;
    uint64_t done = 0;
    for (uint64_t s : sizes) out.push_back(done += s);
    return out;
}

TEST(NcBlockLoop, ReportsEveryBlockAsAOneBlockLoopWould) {
    struct Row {
        const char* name;
        size_t size;
        TNcLoopSettings settings;
        std::vector<uint64_t> blocks;
    };
    const TNcLoopSettings download{4096, false, 256 * 1024};
    const TNcLoopSettings upload{4096, true, 256 * 1024};
    const TNcLoopSettings copy{32768, false, 1024 * 1024};
    const Row rows[] = {
        // A download: one event per block and one for the empty read.
        {"download 10000", 10000, download, Steps({4096, 4096, 1808, 0})},
        {"download 8192", 8192, download, Steps({4096, 4096, 0})},
        {"download empty", 0, download, {0}},
        // An upload ends with its short block; a full last block is followed
        // by the empty read.
        {"upload 10000", 10000, upload, Steps({4096, 4096, 1808})},
        {"upload 8192", 8192, upload, Steps({4096, 4096, 0})},
        {"upload empty", 0, upload, {0}},
        {"copy 70000", 70000, copy, Steps({32768, 32768, 4464, 0})},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        FakeSource src;
        src.data = Pattern(r.size);
        FakeSink sink;
        LoopRun run = RunLoop(src, sink, r.settings);
        EXPECT_EQ(run.result.End, TNcLoopEnd::Done);
        EXPECT_EQ(run.blocks, r.blocks);
        EXPECT_EQ(run.result.Done, r.size);
        EXPECT_EQ(run.result.AnyBytes, r.size > 0);
        EXPECT_TRUE(run.written == src.data);
    }
}

TEST(NcBlockLoop, PiecesGrowWithAFastSourceAndShrinkWithASlowOne) {
    FakeSource fast;
    fast.data = Pattern(3 * 1024 * 1024);
    FakeSink sink;
    LoopRun run = RunLoop(fast, sink, TNcLoopSettings{4096, false, 256 * 1024});
    ASSERT_GE(fast.asked.size(), 7u);
    const std::vector<size_t> growth(fast.asked.begin(), fast.asked.begin() + 7);
    EXPECT_EQ(growth, (std::vector<size_t>{4096, 8192, 16384, 32768, 65536, 131072, 262144}));
    EXPECT_EQ(fast.asked.back(), 262144u);
    // Still one event per 4096 bytes, the last one for the empty read.
    EXPECT_EQ(run.blocks.size(), 3u * 256 + 1);
    EXPECT_TRUE(run.written == fast.data);

    // Reads that start to take long halve the piece, down to one block.
    FakeSource slow;
    slow.data = Pattern(3 * 1024 * 1024);
    FakeSink sink2;
    TNcBlockLoop loop;
    double now = 0;
    slow.clock = &now;
    loop.Clock = [&] { return now; };
    loop.OnPiece = [&] {
        if (loop.PieceSize() == 65536) slow.msPerRead = 100;
    };
    loop.Run(slow, sink2, TNcLoopSettings{4096, false, 256 * 1024});
    std::vector<size_t> tail(slow.asked.end() - 6, slow.asked.end());
    EXPECT_EQ(tail, (std::vector<size_t>{4096, 4096, 4096, 4096, 4096, 4096}));
    EXPECT_TRUE(sink2.written == slow.data);

    // A short piece (the source had less ready) does not grow the next one.
    FakeSource partial;
    partial.data = Pattern(100000);
    partial.limits = {4096, 1000, 0};
    FakeSink sink3;
    RunLoop(partial, sink3, TNcLoopSettings{4096, false, 256 * 1024});
    ASSERT_GE(partial.asked.size(), 3u);
    EXPECT_EQ(partial.asked[1], 8192u);
    EXPECT_EQ(partial.asked[2], 8192u);
    EXPECT_TRUE(sink3.written == partial.data);
}

TEST(NcBlockLoop, CancelStopsAfterTheBlockThatAskedAndWritesNoMore) {
    struct Row {
        size_t cancelAt;
        std::vector<uint64_t> blocks;
    };
    const Row rows[] = {
        {1, Steps({4096})},
        {3, Steps({4096, 4096, 4096})},
        {5, Steps({4096, 4096, 4096, 4096, 4096})},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.cancelAt);
        FakeSource src;
        src.data = Pattern(1000000);
        FakeSink sink;
        LoopRun run = RunLoop(src, sink, TNcLoopSettings{}, r.cancelAt);
        EXPECT_EQ(run.result.End, TNcLoopEnd::Cancelled);
        EXPECT_EQ(run.blocks, r.blocks);
        // The sink has exactly what was reported, even from the middle of a piece.
        EXPECT_EQ(run.result.Done, r.blocks.back());
        EXPECT_TRUE(run.written == src.data.substr(0, r.blocks.back()));
    }

    // A cancel before the loop reads nothing.
    FakeSource src;
    src.data = Pattern(10000);
    FakeSink sink;
    TNcBlockLoop loop;
    loop.Cancelled = [] { return true; };
    TNcLoopResult result = loop.Run(src, sink, TNcLoopSettings{});
    EXPECT_EQ(result.End, TNcLoopEnd::Cancelled);
    EXPECT_TRUE(src.asked.empty());
    EXPECT_TRUE(sink.written.empty());
}

TEST(NcBlockLoop, FailedReadsAndWritesEndTheLoop) {
    FakeSource src;
    src.data = Pattern(100000);
    src.failAt = 20000;
    src.limits = {4096, 4096, 4096, 4096, 4096, 4096};
    FakeSink sink;
    LoopRun run = RunLoop(src, sink, TNcLoopSettings{});
    EXPECT_EQ(run.result.End, TNcLoopEnd::ReadFailed);
    EXPECT_TRUE(run.result.AnyBytes);
    EXPECT_EQ(run.result.Done, 20480u);
    EXPECT_EQ(run.blocks, Steps({4096, 4096, 4096, 4096, 4096}));

    FakeSource src2;
    src2.data = Pattern(100000);
    FakeSink sink2;
    sink2.failAfter = 10000;
    LoopRun run2 = RunLoop(src2, sink2, TNcLoopSettings{});
    EXPECT_EQ(run2.result.End, TNcLoopEnd::WriteFailed);
    EXPECT_EQ(run2.result.Done, sink2.written.size());
    EXPECT_LE(run2.result.Done, 10000u);
}

}  // namespace
}  // namespace oru
