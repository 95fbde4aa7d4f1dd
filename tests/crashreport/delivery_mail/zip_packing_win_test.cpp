// BugReport.zip under Wine: the archives are written into KYN_ZIP_WORK and
// listed in zips.txt; check_zips.sh then tests each with unzip and compares
// its entries with the sources byte for byte. Pruning and keeping are checked
// here.
#include "crashreport/delivery/ZipPacking.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace drevnik {
namespace {

class ZipWork : public ::testing::Test {
protected:
    void SetUp() override {
        const char* work = std::getenv("KYN_ZIP_WORK");
        if (work == nullptr) GTEST_SKIP() << "needs check_zips.sh";
        folder_ = "Z:" + std::string(work) + "\\";
        std::replace(folder_.begin(), folder_.end(), '/', '\\');
    }

    std::string Path(const std::string& name) const { return folder_ + name; }

    void Write(const std::string& name, const std::string& bytes) const {
        const std::string path = Path(name);
        const size_t slash = path.rfind('\\');
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string Read(const std::string& name) const {
        std::ifstream file(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    bool Exists(const std::string& name) const { return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

    // Lists the archive for check_zips.sh: its password ("-" for none) and
    // its entries in order, each with the source it must equal.
    void Expect(const std::string& zip, const std::string& password, const std::string& pairs) const {
        std::ofstream(Path("zips.txt"), std::ios::app | std::ios::binary) << zip << " " << (password.empty() ? "-" : password) << " "
                                                       << pairs << "\n";
    }

    std::vector<std::string> Names(const std::string& folder) const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found{};
        HANDLE find = FindFirstFileA(Path(folder + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
        } while (FindNextFileA(find, &found));
        FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string folder_;
};

std::string Noise(size_t n, unsigned seed) {
    std::string bytes(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

TEST_F(ZipWork, PacksEveryReadableFileUnderItsName) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "Line " + std::to_string(i) + " of the report\r\n";
    Write("src\\report.txt", text);
    Write("one\\same.bin", Noise(3000, 1));
    Write("two\\same.bin", Noise(70000, 2));
    Write("src\\empty.dat", "");
    Write("src\\noise.bin", Noise(300000, 3));
    const std::vector<std::string> list = {Path("src\\report.txt"), Path("one\\same.bin"), Path("two\\same.bin"),
                                           Path("src\\empty.dat"),  Path("src\\missing.txt"), Path("src\\noise.bin")};
    EXPECT_TRUE(PackFilesToZip(Path("plain.zip"), "", list));
    Expect("plain.zip", "",
           "report.txt=src/report.txt same.bin=one/same.bin same.bin=two/same.bin empty.dat=src/empty.dat "
           "noise.bin=src/noise.bin");

    EXPECT_TRUE(PackFilesToZip(Path("secret.zip"), "pa55word", {Path("src\\report.txt"), Path("src\\noise.bin"),
                                                                 Path("src\\empty.dat")}));
    Expect("secret.zip", "pa55word", "report.txt=src/report.txt noise.bin=src/noise.bin empty.dat=src/empty.dat");
}

TEST_F(ZipWork, AFileOpenForWritingIsLeftOut) {
    Write("lock\\held.log", "being written");
    Write("lock\\free.txt", "free");
    HANDLE held = CreateFileA(Path("lock\\held.log").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(PackFilesToZip(Path("locked.zip"), "", {Path("lock\\held.log"), Path("lock\\free.txt")}));
    CloseHandle(held);
    Expect("locked.zip", "", "free.txt=lock/free.txt");
}

TEST_F(ZipWork, AnEarlierArchiveIsReplacedWhole) {
    Write("again\\a.txt", "new content");
    Write("again.zip", Noise(100000, 9));  // an older, larger archive of that name
    EXPECT_TRUE(PackFilesToZip(Path("again.zip"), "", {Path("again\\a.txt")}));
    EXPECT_FALSE(Exists("again.zip.part"));
    Expect("again.zip", "", "a.txt=again/a.txt");

    // Nothing to pack: no archive, and the old one is not left to be sent.
    Write("none.zip", "old");
    EXPECT_FALSE(PackFilesToZip(Path("none.zip"), "", {}));
    EXPECT_FALSE(Exists("none.zip"));
    // A writer whose every file fails still replaces the old archive by a valid, empty one.
    EXPECT_TRUE(PackFilesToZip(Path("none.zip"), "", {Path("again\\gone.txt")}));
    EXPECT_EQ(Read("none.zip").substr(0, 4), "PK\x05\x06");
}

TEST_F(ZipWork, PruningKeepsTheTenNewestOfTheLibrarysArchivesOnly) {
    std::vector<std::string> archives;
    for (int day = 1; day <= 12; ++day) {
        char name[64];
        std::snprintf(name, sizeof name, "BugReport__PC__202501%02d080000.zip", day);
        archives.push_back(name);
        Write(std::string("kept\\") + name, "zip");
    }
    Write("kept\\Photos.zip", "user's");
    Write("kept\\BugReportOld.zip", "user's");
    SetFileAttributesA(Path("kept\\" + archives[0]).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(PruneKeptZips(Path("kept")), 2);
    std::vector<std::string> expected(archives.begin() + 2, archives.end());
    expected.push_back("BugReportOld.zip");
    expected.push_back("Photos.zip");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Names("kept"), expected);
    EXPECT_EQ(PruneKeptZips(Path("kept")), 0);
}

TEST_F(ZipWork, KeepingReplacesAKeptArchiveOfTheSameName) {
    Write("keep\\BugReport.zip", "fresh archive");
    Write("keptdir\\BugReport.zip", "older archive");
    EXPECT_TRUE(KeepZip(Path("keep\\BugReport.zip"), Path("keptdir\\BugReport.zip")));
    EXPECT_FALSE(Exists("keep\\BugReport.zip"));
    EXPECT_EQ(Read("keptdir\\BugReport.zip"), "fresh archive");
    EXPECT_FALSE(KeepZip(Path("keep\\BugReport.zip"), Path("keptdir\\BugReport.zip")));
    EXPECT_EQ(Read("keptdir\\BugReport.zip"), "fresh archive");
}

}  // namespace
}  // namespace drevnik
