// A fresh folder under the temporary folder for one test, removed afterwards.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace fw::test {

class TScratchDir {
public:
    TScratchDir() {
        static int counter = 0;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                ("fw_core_" + std::to_string(stamp) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~TScratchDir() {
        std::error_code ignored;
        // Read-only files block removal on Windows.
        for (auto& e : std::filesystem::recursive_directory_iterator(path_, ignored)) {
            std::filesystem::permissions(e.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace fw::test
