// The web channels' platform-free pieces: the upload form, remote names,
// server URLs and the warning texts.
#include <gtest/gtest.h>

#include <fstream>

#include "crashreport/delivery/WebUpload.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

TEST(WebUpload, FormSkipsMissingFilesButKeepsTheirIndex) {
    TestFolder folder("upload_body");
    std::ofstream(folder.NativePath() + "b.zip", std::ios::binary) << std::string("PK\0\r\n", 5);
    const std::string body = BuildUploadBody("B", {"Who=me", "Empty=", "Eq=a=b"}, {"a_PC.txt", "dir\\b_PC.zip"},
                                             {folder.Path() + "a.txt", folder.Path() + "b.zip"});
    EXPECT_EQ(body,
              "--B\r\nContent-Disposition: form-data; name=\"Who\";\r\n\r\nme\r\n"
              "--B\r\nContent-Disposition: form-data; name=\"Empty\";\r\n\r\n\r\n"
              "--B\r\nContent-Disposition: form-data; name=\"Eq\";\r\n\r\na=b\r\n"
              "--B\r\nContent-Disposition: form-data; name=\"dv_upload_file_1\"; filename=\"b_PC.zip\";\r\n"
              "Content-Type: application/octet-stream\r\n\r\n" +
                  std::string("PK\0\r\n", 5) + "\r\n--B--\r\n");
    EXPECT_EQ(BuildUploadBody("B", {}, {}, {}), "--B--\r\n");
}

TEST(WebUpload, BoundaryHasItsShape) {
    const std::string b = MakeUploadBoundary();
    ASSERT_EQ(b.size(), 39u);
    EXPECT_EQ(b.find_first_not_of('-'), 27u);
    EXPECT_EQ(b.find_first_not_of("0123456789ABCDEF", 27), std::string::npos);
}

TEST(WebUpload, NamesUrlsAndTexts) {
    EXPECT_EQ(FtpRemoteName("reports", "C:\\t\\Bug_PC.zip"), "reports/Bug_PC.zip");
    EXPECT_EQ(FtpRemoteName("a/b/", "Bug.zip"), "a/b/Bug.zip");
    EXPECT_EQ(FtpRemoteName("", "Bug.zip"), "Bug.zip");

    EXPECT_EQ(BuildServerUrl("http://host/mantis", "", "", 8080), "http://host/mantis:8080");
    EXPECT_EQ(BuildServerUrl("", "", "", 8080), ":8080");
    EXPECT_EQ(BuildServerUrl("http://host/", "", "", 70000), "http://host/");

    EXPECT_EQ(WebWarningText("HTTP", 404, "NOT FOUND"), "HTTP error code: 404 (NOT FOUND)");
    EXPECT_EQ(WebWarningText("FTP", -1, "ignored"), "FTP error code: -1 - Cannot find the \"wininet.dll\" library.");
    EXPECT_EQ(WebWarningText("HTTPS", 12029, ""), "HTTPS error code: 12029");
    EXPECT_EQ(TrackerWarningText("Invalid login request.", 0, ""),
              "Invalid login request.\r\n\r\nError Code: 0\r\nError Message: \"\"");

    const int indexes[][2] = {{0, 0}, {1, 0}, {2, 147}, {3, 148}, {4, 150}, {5, 149}, {6, 151}, {7, 152}, {99, 147}};
    for (const auto& row : indexes) EXPECT_EQ(TrackerResultTextIndex(row[0]), row[1]) << row[0];
}

TEST(WebUpload, OwnTrackerFieldsAreTheLastFour) {
    std::vector<std::string> fields = {"DV_OSType=custom, not own", "A=1"};
    AddOwnTrackerFields(fields, "T1", "Windows 7", "7601", "x=y");
    ASSERT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields[2], "FogBugzTrialID=T1");
    EXPECT_EQ(OwnTrackerField(fields, "DV_OSType"), "Windows 7");
    EXPECT_EQ(OwnTrackerField(fields, "DV_ReproduceText"), "x=y");
    EXPECT_EQ(OwnTrackerField(fields, "A"), "");
}

}  // namespace
}  // namespace drevnik
