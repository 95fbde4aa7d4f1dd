// Version resources of program files.
#include "common/FileVersion.h"

#include "tests/common/win_test_support.h"

namespace common {
namespace {

TEST(FileVersion, FileWithoutVersionReadsAsNone) {
    test::TScratchFolder folder;
    test::WriteBytes(folder.Path() + L"plain.txt", "no resource here");
    for (const std::wstring& path : {folder.Path() + L"plain.txt", folder.Path() + L"missing.exe"}) {
        TFileVersion version{1, 2, 3, 4};
        EXPECT_FALSE(ReadFileVersion(path, version));
        EXPECT_EQ(version.Build, 0);
        EXPECT_EQ(version.Major, 0);
    }
}

}  // namespace
}  // namespace common
