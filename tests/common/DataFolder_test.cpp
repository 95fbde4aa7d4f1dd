// The data-folder rule on a fake file system.
#include "common/DataFolder.h"

#include <gtest/gtest.h>

#include <set>

#include "framework/core/exceptions.h"

namespace common {
namespace {

struct FakeDisk {
    std::set<std::wstring> files;
    std::set<std::wstring> directories;
    std::vector<std::wstring> probed;

    TFolderProbes Probes() {
        return {[this](const std::wstring& p) { probed.push_back(p); return files.count(p) > 0; },
                [this](const std::wstring& p) { probed.push_back(p); return directories.count(p) > 0; }};
    }
};

const std::wstring kDocs = L"C:\\users\\op\\Documents";
const std::wstring kMarker = L"C:\\users\\op\\Documents\\Quorvex\\settings\\acs";
const std::wstring kBeside = L"D:\\Apps\\Quorvex\\settings\\";

TEST(DataFolderRule, PicksTheFolderByMarkerThenBesideTheProgram) {
    struct Row {
        const char* name;
        std::set<std::wstring> files, directories;
        bool found;
        std::wstring dataFolder;
    };
    const Row rows[] = {
        {"marker wins over the folder beside the program", {kMarker}, {kBeside}, true, kDocs + L"\\Quorvex\\"},
        {"marker alone", {kMarker}, {}, true, kDocs + L"\\Quorvex\\"},
        {"empty settings folder beside the program", {}, {kBeside}, true, L"D:\\Apps\\Quorvex\\"},
        {"settings folder in My Documents without marker", {}, {L"C:\\users\\op\\Documents\\Quorvex\\settings\\"}, false,
         kDocs + L"\\Quorvex\\"},
        {"marker that is a folder", {}, {kMarker}, false, kDocs + L"\\Quorvex\\"},
        {"a file named settings beside the program", {L"D:\\Apps\\Quorvex\\settings\\"}, {}, false,
         kDocs + L"\\Quorvex\\"},
        {"nothing", {}, {}, false, kDocs + L"\\Quorvex\\"},
    };
    for (const auto& r : rows) {
        FakeDisk disk{r.files, r.directories, {}};
        const TDataFolderLocation location = DataFolderRule(kDocs, L"D:\\Apps", disk.Probes(), L"missing");
        EXPECT_EQ(location.Found, r.found) << r.name;
        EXPECT_EQ(location.DataFolder, r.dataFolder) << r.name;
        EXPECT_EQ(location.ExeFolder, L"D:\\Apps\\") << r.name;
    }
}

TEST(DataFolderRule, BuildsPathsWithSingleBackslashes) {
    FakeDisk disk;
    disk.files.insert(L"C:\\Quorvex\\settings\\acs");
    const TDataFolderLocation location = DataFolderRule(std::wstring(L"C:\\"), L"D:\\Apps\\", disk.Probes(), L"x");
    EXPECT_TRUE(location.Found);
    EXPECT_EQ(location.DataFolder, L"C:\\Quorvex\\");
    EXPECT_EQ(location.ExeFolder, L"D:\\Apps\\");
}

TEST(DataFolderRule, RaisesTheProgramsTextWithoutMyDocuments) {
    FakeDisk disk;
    for (const auto& docs : {std::optional<std::wstring>(), std::optional<std::wstring>(L"")}) {
        try {
            DataFolderRule(docs, L"D:\\Apps", disk.Probes(), L"Could Not Locate MyDocuments Folder Location");
            ADD_FAILURE() << "no exception";
        } catch (const fw::Exception& e) {
            EXPECT_EQ(e.Message(), L"Could Not Locate MyDocuments Folder Location");
        }
    }
    EXPECT_TRUE(disk.probed.empty());
}

TEST(DataFolderRule, WithoutTheProgramsFolderNothingRelativeIsProbed) {
    FakeDisk disk;
    disk.directories.insert(L"\\Quorvex\\settings\\");
    disk.directories.insert(L"Quorvex\\settings\\");
    const TDataFolderLocation location = DataFolderRule(kDocs, L"", disk.Probes(), L"x");
    EXPECT_FALSE(location.Found);
    EXPECT_EQ(disk.probed, std::vector<std::wstring>{kMarker});
}

}  // namespace
}  // namespace common
