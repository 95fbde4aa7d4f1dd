// BugReport.zip: the attachments packed with minizip's writer (deflate level
// 9, PKWARE encryption with a password), and the folder of archives kept
// after failed sends. Paths are the library's 8-bit text.
#pragma once

#include <string>
#include <vector>

namespace drevnik {

// One archive being written. It is written under a temporary name beside the
// path and takes the path's place only when it was closed whole, so an
// earlier archive of that path is replaced in one step and a failed one
// leaves nothing behind.
class TZipWriter {
public:
    // An empty password writes without encryption.
    TZipWriter(std::string zipPath, std::string password);
    ~TZipWriter();
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    bool IsOpen() const { return zip_ != nullptr; }
    // The file's whole bytes as an entry named `entryName`; false (and the
    // archive marked failed) when the file cannot be read or written.
    bool AddFile(const std::string& sourcePath, const std::string& entryName);
    // Closes the archive and puts it in place; true when every step worked.
    bool Close();

private:
    std::string zipPath_;
    std::string tempPath_;
    std::string password_;
    void* zip_ = nullptr;
    bool failed_ = false;
};

// Packs the files of the list, in order, under their file names. An empty
// list writes no archive and removes one left at the path. True when the
// archive was written whole.
bool PackFilesToZip(const std::string& zipPath, const std::string& password, const std::vector<std::string>& list);

// Keeps the newest kept archives of the folder (KeptZips.h); returns how
// many were deleted.
int PruneKeptZips(const std::string& folder);

// Moves the archive to `keptPath`, replacing an archive already there in one
// step, and prunes that folder. False when the move failed.
bool KeepZip(const std::string& zipPath, const std::string& keptPath);

}  // namespace drevnik
