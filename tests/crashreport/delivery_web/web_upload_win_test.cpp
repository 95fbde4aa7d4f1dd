// The HTTP(S) and FTP uploads under Wine against the peers of web_peers.sh:
// an upload page that stores the raw request body and pyftpdlib.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>

#include "crashreport/delivery/WebUpload.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"
#include "tests/crashreport/delivery_web/WebPeers.h"

namespace drevnik {
namespace {

using TProgress = std::vector<std::pair<int, std::pair<uint32_t, uint32_t>>>;

// Every byte value, a boundary look-alike and more than one 1024-byte piece.
std::string ArchiveBytes() {
    std::string bytes = "PK\x03\x04";
    for (int round = 0; round < 10; ++round) {
        for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    }
    return bytes + "\r\n-----------------------------0000\r\n";
}

std::string BoundaryOf(const std::string& head) {
    const std::string marker = "boundary=";
    const size_t at = head.find(marker);
    if (at == std::string::npos) return {};
    return head.substr(at + marker.size(), head.find('\n', at) - at - marker.size());
}

class TUploads : public TWebPeers {
protected:
    void SetUp() override {
        TWebPeers::SetUp();
        zip_ = folder_.Path() + "BugReport.zip";
        std::ofstream(folder_.NativePath() + "BugReport.zip", std::ios::binary) << ArchiveBytes();
    }
    TUploadProgress Recorder() {
        return [this](uint8_t kind, uint32_t total, uint32_t done) { progress_.push_back({kind, {total, done}}); };
    }
    TestFolder folder_{"web_upload"};
    std::string zip_;
    TProgress progress_;
};

TEST_F(TUploads, HttpPostsTheFormByteForByteAndSkipsMissingFiles) {
    std::string error = "stale";
    const std::vector<std::string> fields = {"Program=Quorvex", "Note=a&b \"c\"\r\nnext"};
    const std::vector<std::string> stamped = {"gone_PC1.txt", "BugReport_PC1_2026.zip"};
    const std::vector<std::string> files = {folder_.Path() + "gone.txt", zip_};
    const int32_t result = UploadFilesHttp("127.0.0.1", "upload/store.php?as=plain", "", error, Recorder(), fields,
                                           stamped, files, false, upload_, "");
    ASSERT_EQ(result, 0) << error;
    EXPECT_EQ(error, "");

    std::string body, head;
    ASSERT_TRUE(ReadPeerFile("uploads/plain.body", body));
    ASSERT_TRUE(ReadPeerFile("uploads/plain.head", head));
    const std::string boundary = BoundaryOf(head);
    ASSERT_EQ(boundary.size(), 39u) << head;
    EXPECT_EQ(boundary.substr(0, 27), std::string(27, '-'));
    EXPECT_EQ(head.find("Authorization"), std::string::npos);
    const std::string expected =
        "--" + boundary + "\r\nContent-Disposition: form-data; name=\"Program\";\r\n\r\nQuorvex\r\n" +
        "--" + boundary + "\r\nContent-Disposition: form-data; name=\"Note\";\r\n\r\na&b \"c\"\r\nnext\r\n" +
        "--" + boundary +
        "\r\nContent-Disposition: form-data; name=\"dv_upload_file_1\"; filename=\"BugReport_PC1_2026.zip\";\r\n"
        "Content-Type: application/octet-stream\r\n\r\n" + ArchiveBytes() + "\r\n" +
        "--" + boundary + "--\r\n";
    EXPECT_EQ(body, expected);

    ASSERT_GE(progress_.size(), 4u);
    EXPECT_EQ(progress_[0], (std::pair<int, std::pair<uint32_t, uint32_t>>{0, {expected.size(), 0}}));
    EXPECT_EQ(progress_[1], (std::pair<int, std::pair<uint32_t, uint32_t>>{1, {expected.size(), 0}}));
    EXPECT_EQ(progress_[2], (std::pair<int, std::pair<uint32_t, uint32_t>>{2, {expected.size(), 1024}}));
    EXPECT_EQ(progress_.back(), (std::pair<int, std::pair<uint32_t, uint32_t>>{2, {expected.size(), expected.size()}}));
}

TEST_F(TUploads, HttpsAcceptsASelfSignedServerAndSendsTheLogin) {
    std::string error;
    const int32_t result = UploadFilesHttp("127.0.0.1", "/auth/store.php?as=tls", "uploader", error, nullptr, {},
                                           {"BugReport.zip"}, {zip_}, true, uploadTls_, "pa:ss w@rd");
    ASSERT_EQ(result, 0) << error;
    std::string body, head;
    ASSERT_TRUE(ReadPeerFile("uploads/tls.body", body));
    ASSERT_TRUE(ReadPeerFile("uploads/tls.head", head));
    EXPECT_NE(head.find("Authorization: uploader:pa:ss w@rd\n"), std::string::npos) << head;
    EXPECT_NE(body.find("name=\"dv_upload_file_0\"; filename=\"BugReport.zip\";\r\n"
                        "Content-Type: application/octet-stream\r\n\r\n" + ArchiveBytes() + "\r\n"),
              std::string::npos);
}

TEST_F(TUploads, FailuresGiveTheStatusOrTheErrorWithItsText) {
    struct Row {
        uint16_t port;
        std::string path;
        int32_t result;
        std::string warning;
    };
    const Row rows[] = {
        {upload_, "/nothing.php", 404, "HTTP error code: 404 (NOT FOUND)"},
        {upload_, "/auth/store.php", 401, "HTTP error code: 401 (UNAUTHORIZED)"},
        {closed_, "/store.php", ERROR_INTERNET_CANNOT_CONNECT,
         "HTTP error code: 12029 (The attempt to connect to the server failed.)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        std::string error;
        const int32_t result =
            UploadFilesHttp("127.0.0.1", row.path, "", error, nullptr, {}, {"BugReport.zip"}, {zip_}, false, row.port, "");
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(WebWarningText("HTTP", result, error), row.warning);
    }
}

TEST_F(TUploads, FtpStoresEachExistingFileUnderItsStampedName) {
    const std::string second = folder_.Path() + "Screenshot.png";
    std::ofstream(folder_.NativePath() + "Screenshot.png", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n", 8);
    struct Row {
        std::string path, stored;
    };
    const Row rows[] = {{"reports", "ftp/reports/"}, {"reports/", "ftp/reports/"}, {"", "ftp/"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        progress_.clear();
        std::string error = "stale";
        const int32_t result =
            UploadFilesFtp("127.0.0.1", row.path, "ftpjoe", error, Recorder(), {"x\\BugReport_PC1.zip", "gone", "Shot_PC1.png"},
                           {zip_, folder_.Path() + "gone.bin", second}, ftp_, "ftp:pw");
        ASSERT_EQ(result, 0) << error;
        EXPECT_EQ(error, "");
        std::string stored;
        ASSERT_TRUE(ReadPeerFile(row.stored + "BugReport_PC1.zip", stored));
        EXPECT_EQ(stored, ArchiveBytes());
        ASSERT_TRUE(ReadPeerFile(row.stored + "Shot_PC1.png", stored));
        EXPECT_EQ(stored, std::string("\x89PNG\r\n\x1a\n", 8));
        const uint32_t total = static_cast<uint32_t>(ArchiveBytes().size() + 8);
        ASSERT_GE(progress_.size(), 3u);
        EXPECT_EQ(progress_.front().second, (std::pair<uint32_t, uint32_t>{total, 0}));
        // Each file's own count, rounded up to whole pieces.
        EXPECT_EQ(progress_.back().second, (std::pair<uint32_t, uint32_t>{total, 1024}));
    }
}

TEST_F(TUploads, FtpWithAWrongPasswordFailsWithTheServersText) {
    std::string error;
    const int32_t result =
        UploadFilesFtp("127.0.0.1", "reports", "ftpjoe", error, nullptr, {"A.zip"}, {zip_}, ftp_, "wrong");
    EXPECT_NE(result, 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find("wrong"), std::string::npos) << "the password must not show in the text";
    std::string stored;
    EXPECT_FALSE(ReadPeerFile("ftp/reports/A.zip", stored));
}

TEST_F(TUploads, NothingToStoreSendsNothing) {
    std::string error = "stale";
    EXPECT_EQ(UploadFilesFtp("127.0.0.1", "", "ftpjoe", error, nullptr, {}, {}, closed_, "ftp:pw"), 0);
    EXPECT_EQ(error, "");
}

}  // namespace
}  // namespace drevnik
