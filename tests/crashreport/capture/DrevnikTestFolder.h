// Scratch folders for the crash library's tests, in the library's "\" path form.
#pragma once

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {

// A folder of the test's own below the temporary folder, named after the test,
// the process and a running number, made anew (never one that is there
// already, which another run may be using) and removed with everything in it
// when the test ends.
class TestFolder {
public:
    explicit TestFolder(const std::string& name) {
        static std::atomic<int> counter{0};
        const std::string stem = GetTempFolder() + "drevnik_" + name + "_" + std::to_string(GetCurrentProcessIdValue());
        for (int attempt = 0; attempt < 1000 && path_.empty(); ++attempt) {
            const std::string candidate = stem + "_" + std::to_string(counter++);
            if (!FolderExists(candidate) && CreateFolder(candidate)) path_ = candidate + "\\";
        }
        if (path_.empty()) throw std::runtime_error("no scratch folder can be made at " + stem);
    }
    ~TestFolder() {
        if (path_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(Native(RemoveTrailingBackslash(path_)), ignored);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }  // ends in "\"
    // The same in the system's form, for the standard library's files.
    std::string NativePath() const { return Native(path_).string(); }

private:
    static std::filesystem::path Native(std::string path) {
#ifndef _WIN32
        for (char& c : path) {
            if (c == '\\') {
                c = '/';
            }
        }
#endif
        return std::filesystem::path(path);
    }

    std::string path_;
};

// Puts the library's application-data folder below the test's own folder for
// the test's time, so that no two runs share it.
class TestAppData {
public:
    explicit TestAppData(TestFolder& root) {
        ForceFolders(root.Path() + "appdata");
        SetAppDataFolderOverride(root.Path() + "appdata");
    }
    ~TestAppData() { SetAppDataFolderOverride(""); }
    TestAppData(const TestAppData&) = delete;
    TestAppData& operator=(const TestAppData&) = delete;
};

}  // namespace drevnik
