// Scratch folders for the capture tests, in the library's "\" path form.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {

// A fresh folder below the temporary folder, removed with everything in it
// (and every path handed to Track) when the test ends.
class TestFolder {
public:
    explicit TestFolder(const std::string& name)
        : path_(GetTempFolder() + "drevnik_" + name + "_" + std::to_string(GetCurrentProcessIdValue()) + "\\") {
        Remove(path_);
        ForceFolders(path_);
    }
    ~TestFolder() {
        for (auto it = tracked_.rbegin(); it != tracked_.rend(); ++it) {
            Remove(*it);
        }
        Remove(path_);
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return path_; }  // ends in "\"
    void Track(const std::string& path) { tracked_.push_back(path); }

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

private:
    static void Remove(const std::string& path) {
        std::error_code ignored;
        std::filesystem::remove_all(Native(RemoveTrailingBackslash(path)), ignored);
    }

    std::string path_;
    std::vector<std::string> tracked_;
};

// Makes GetLibraryAppDataFolder usable for a test. Windows has its own
// application-data folder; the host stand-in reads %AppData%, which is
// pointed into the scratch folder for the test's time.
class TestAppData {
public:
    explicit TestAppData(TestFolder& root) : old_(GetEnvironmentText("AppData")) {
#ifndef _WIN32
        ForceFolders(root.Path() + "appdata");
        SetEnvironmentText("AppData", root.Path() + "appdata");
#endif
        if (!FolderExists(GetLibraryAppDataFolder())) {
            root.Track(GetLibraryAppDataFolder());
        }
    }
    ~TestAppData() {
#ifndef _WIN32
        SetEnvironmentText("AppData", old_);
#endif
    }
    TestAppData(const TestAppData&) = delete;
    TestAppData& operator=(const TestAppData&) = delete;

private:
    std::string old_;
};

}  // namespace drevnik
