// Helpers of the Windows tests: a recorder of message boxes and end requests,
// scratch folders, and the real "Quorvex\" folders of the data-folder rule
// moved out of the way while a test lays out its own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/DataFolder.h"
#include "common/MessageBox.h"
#include "framework/core/paths.h"

namespace common::test {

struct TShownBox {
    TMessageBoxKind kind;
    std::wstring text;
    bool operator==(const TShownBox&) const = default;
};

// Records instead of showing: a modal box would block the test.
class TBoxRecorder {
public:
    TBoxRecorder()
        : oldBox_(SetMessageBoxHandler([this](TMessageBoxKind k, const std::wstring& t) { boxes.push_back({k, t}); })),
          oldEnd_(SetEndRequestHandler([this] { ++endRequests; })) {}
    ~TBoxRecorder() {
        SetMessageBoxHandler(std::move(oldBox_));
        SetEndRequestHandler(std::move(oldEnd_));
    }
    TBoxRecorder(const TBoxRecorder&) = delete;
    TBoxRecorder& operator=(const TBoxRecorder&) = delete;

    std::vector<TShownBox> boxes;
    int endRequests = 0;

private:
    TMessageBoxHandler oldBox_;
    TEndRequestHandler oldEnd_;
};

// A host path as Wine sees it, on its drive Z:.
inline std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return path;
}

inline bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline void DeleteTree(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name != L"." && name != L"..") DeleteTree(path + L"\\" + name);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

// Creates every missing folder of path (with or without a trailing backslash).
inline void MakeFolders(const std::wstring& path) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryW(path.c_str(), nullptr);
}

inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot create test file";
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

inline std::string ReadBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

// A fresh folder under the temporary folder, deleted with its contents.
class TScratchFolder {
public:
    TScratchFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::wstring(temp) + L"kyn-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        DeleteTree(path_.substr(0, path_.size() - 1));
        MakeFolders(path_);
    }
    ~TScratchFolder() { DeleteTree(path_.substr(0, path_.size() - 1)); }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    // Ends with a backslash.
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

// The two "Quorvex\" folders the rule looks at: in the prefix's My Documents
// and beside the test program. Existing ones are moved aside and put back.
class TRealQuorvexFolders : public ::testing::Test {
protected:
    void SetUp() override {
        auto docs = MyDocumentsFolder();
        ASSERT_TRUE(docs.has_value()) << "the Wine prefix has no My Documents folder";
        docsQuorvex = fw::IncludeTrailingBackslash(*docs) + L"Quorvex\\";
        besideQuorvex = RunningProgramFolder() + L"Quorvex\\";
        for (const std::wstring* folder : {&docsQuorvex, &besideQuorvex}) {
            const std::wstring plain = folder->substr(0, folder->size() - 1);
            const std::wstring saved = plain + L".kyn-test-saved";
            if (PathExists(saved)) {
                // An interrupted run left the original aside and its own
                // folder in place: the original is the one to put back.
                DeleteTree(plain);
                saved_.emplace_back(saved, plain);
            } else if (PathExists(plain)) {
                ASSERT_TRUE(MoveFileW(plain.c_str(), saved.c_str()));
                saved_.emplace_back(saved, plain);
            }
        }
    }
    void TearDown() override {
        DeleteTree(docsQuorvex.substr(0, docsQuorvex.size() - 1));
        DeleteTree(besideQuorvex.substr(0, besideQuorvex.size() - 1));
        for (const auto& [saved, plain] : saved_) MoveFileW(saved.c_str(), plain.c_str());
    }

    void PutMarker() {
        MakeFolders(docsQuorvex + L"settings");
        WriteBytes(docsQuorvex + L"settings\\acs", "");
    }
    void PutFolderBesideProgram() { MakeFolders(besideQuorvex + L"settings"); }

    std::wstring docsQuorvex;    // ends with a backslash
    std::wstring besideQuorvex;  // ends with a backslash

private:
    std::vector<std::pair<std::wstring, std::wstring>> saved_;
};

}  // namespace common::test
