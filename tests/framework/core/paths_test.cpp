// File-name helpers; the 8-bit and UTF-16 forms give the same answers.
#include "framework/core/paths.h"

#include <gtest/gtest.h>

#include "framework/core/text_codec.h"

namespace fw {
namespace {

TEST(Paths, FolderNameAndExtensionOfWindowsPaths) {
    struct Row {
        const char* path;
        const char* folder;
        const char* name;
        const char* ext;
        const char* noExt;
    };
    const Row rows[] = {
        {"C:\\a\\b.txt", "C:\\a\\", "b.txt", ".txt", "C:\\a\\b"},
        {"C:b.txt", "C:", "b.txt", ".txt", "C:b"},
        {"host/dir/setup.exe", "host/dir/", "setup.exe", ".exe", "host/dir/setup"},
        {"C:\\dir.d\\file", "C:\\dir.d\\", "file", "", "C:\\dir.d\\file"},
        {"a.tar.gz", "", "a.tar.gz", ".gz", "a.tar"},
        {".profile", "", ".profile", ".profile", ""},
        {"C:\\x\\", "C:\\x\\", "", "", "C:\\x\\"},
        {"", "", "", "", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ExtractFilePath(r.path), r.folder) << r.path;
        EXPECT_EQ(ExtractFileName(r.path), r.name) << r.path;
        EXPECT_EQ(ExtractFileExt(r.path), r.ext) << r.path;
        EXPECT_EQ(ChangeFileExt(r.path, ""), r.noExt) << r.path;
        const std::wstring wide = AnsiToWide(r.path);
        EXPECT_EQ(ExtractFilePath(wide), AnsiToWide(r.folder)) << r.path;
        EXPECT_EQ(ExtractFileName(wide), AnsiToWide(r.name)) << r.path;
        EXPECT_EQ(ExtractFileExt(wide), AnsiToWide(r.ext)) << r.path;
        EXPECT_EQ(ChangeFileExt(wide, L".dvf"), AnsiToWide(r.noExt) + L".dvf") << r.path;
    }
}

TEST(Paths, TrailingBackslash) {
    const std::pair<const char*, const char*> include[] = {{"", "\\"}, {"C:\\a", "C:\\a\\"}, {"C:\\a\\", "C:\\a\\"}};
    for (auto [in, out] : include) {
        EXPECT_EQ(IncludeTrailingBackslash(in), out);
        EXPECT_EQ(IncludeTrailingBackslash(AnsiToWide(in)), AnsiToWide(out));
    }
    const std::pair<const char*, const char*> exclude[] = {{"C:\\a\\", "C:\\a"}, {"C:\\a", "C:\\a"}, {"", ""}};
    for (auto [in, out] : exclude) {
        EXPECT_EQ(ExcludeTrailingBackslash(in), out);
        EXPECT_EQ(ExcludeTrailingBackslash(AnsiToWide(in)), AnsiToWide(out));
    }
}

}  // namespace
}  // namespace fw
