// Remote paths and server replies of the FTP transfers.
#include "Updater/NcFtpPaths.h"

#include <gtest/gtest.h>

namespace oru {
namespace {

TEST(NcFtpPaths, RemoteFolderAndName) {
    struct Row {
        const wchar_t *url, *folder, *name;
    };
    const Row rows[] = {
        {L"/pub/big.bin", L"/pub/", L"big.bin"},
        {L"big.bin", L"", L"big.bin"},
        {L"sub\\dir\\*.txt", L"sub/dir/", L"*.txt"},
        {L"/", L"/", L""},
        {L"a/b/", L"a/b/", L""},
    };
    for (const Row& r : rows) {
        TNcFtpPath p = SplitFtpPath(r.url);
        EXPECT_EQ(p.Folder, r.folder) << r.url;
        EXPECT_EQ(p.Name, r.name) << r.url;
    }

    using V = std::vector<std::wstring>;
    const std::pair<const wchar_t*, V> parts[] = {
        {L"a/b/c", V{L"a", L"b", L"c"}},
        {L"/a//b/", V{L"/", L"a", L"b"}},
        {L"\\up\\x", V{L"/", L"up", L"x"}},
        {L"/", V{L"/"}},
        {L"", V{}},
    };
    for (const auto& [folder, expected] : parts) EXPECT_EQ(FtpFolderParts(folder), expected) << folder;
}

TEST(NcFtpPaths, ReplyCodesAndSizes) {
    struct Row {
        const wchar_t* reply;
        int code;
        std::optional<uint64_t> size;
    };
    const Row rows[] = {
        {L"226 Transfer complete.\r\n", 226, std::nullopt},
        {L"426 Connection closed; transfer aborted.", 426, std::nullopt},
        {L"213 300000", 213, 300000},
        {L"213 5368709120\r\n", 213, 5368709120ull},
        // A multi-line reply counts by its last line.
        {L"213-Status follows\r\n213 12\r\n", 213, 12},
        {L"213 99999999999999999999", 213, std::nullopt},
        {L"213 12 bytes", 213, std::nullopt},
        {L"550 SIZE not allowed in ASCII mode.", 550, std::nullopt},
        {L"", 0, std::nullopt},
        {L"21", 0, std::nullopt},
        {L"2x6 odd", 0, std::nullopt},
        {L"226-more to come", 0, std::nullopt},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FtpReplyCode(r.reply), r.code) << r.reply;
        EXPECT_EQ(ParseFtpSizeReply(r.reply), r.size) << r.reply;
    }
}

}  // namespace
}  // namespace oru
