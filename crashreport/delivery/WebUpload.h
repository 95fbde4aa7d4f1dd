// The web channels' platform-free pieces: the upload form, the FTP names,
// the bug trackers' field list and server URLs, and the warning texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace drevnik {

// Stages an upload reports: 0 connecting, 1 connected, 2 sending (Done of Total).
using TUploadProgress = std::function<void(uint8_t kind, uint32_t total, uint32_t done)>;

// Result of an upload: 0 success, -1 WinInet missing, else the Windows or
// WinInet error, the HTTP status, or kUploadStatusNotNumber.
constexpr int32_t kUploadWinInetMissing = -1;
constexpr int32_t kUploadStatusNotNumber = 2147483647;

// 27 '-' and three random 4-digit upper-case hexadecimal numbers.
std::string MakeUploadBoundary();

// The whole file, or false when it cannot be read (or is larger than an
// upload can hold in memory).
constexpr size_t kMaxUploadFileSize = 256u * 1024 * 1024;
bool ReadUploadFile(const std::string& path, std::string& bytes);

// The multipart form of an upload: the custom fields ("name=value" lines),
// then one part "dv_upload_file_<i>" per attachment that can be read (i
// counts the missing ones too), named by its stamped name, then the end.
std::string BuildUploadBody(const std::string& boundary, const std::vector<std::string>& fields,
                            const std::vector<std::string>& stampedNames, const std::vector<std::string>& files);

// Where an attachment goes on the FTP server: the folder, '/', the stamped
// name's file part.
std::string FtpRemoteName(const std::string& path, const std::string& stampedName);

// The four own lines that every tracker reads by name, always last.
void AddOwnTrackerFields(std::vector<std::string>& fields, const std::string& trialId, const std::string& osType,
                         const std::string& osBuild, const std::string& reproduceText);
// The value of an own field of the list (its last four lines), or empty.
std::string OwnTrackerField(const std::vector<std::string>& fields, const std::string& name);

// A server URL with its port and credentials (an empty URL with a port
// gives ":port", which means no server).
std::string BuildServerUrl(const std::string& url, const std::string& user, const std::string& password,
                           int32_t port);

// "<name> error code: <result><suffix>", the suffix naming wininet.dll for
// -1, else the error text in parentheses when there is one.
std::string WebWarningText(const std::string& name, int32_t result, const std::string& errorText);

// The text number of a tracker result's warning (147 to 152), 0 for 0 and 1.
int TrackerResultTextIndex(int result);
// The warning of a failed tracker submission.
std::string TrackerWarningText(const std::string& resultText, int32_t errorCode, const std::string& errorMessage);

// ---- The uploads (Windows only) ----
// Posts the attachments as a multipart form to the page at host:port/path
// over HTTP or HTTPS (self-signed servers accepted), with Basic
// authorization when a user or password is given.
int32_t UploadFilesHttp(const std::string& host, const std::string& path, const std::string& user,
                        std::string& errorText, const TUploadProgress& progress,
                        const std::vector<std::string>& fields, const std::vector<std::string>& stampedNames,
                        const std::vector<std::string>& files, bool useHttps, uint16_t port,
                        const std::string& password);
// Stores the attachments in the folder `path` of the FTP server (passive mode).
int32_t UploadFilesFtp(const std::string& host, const std::string& path, const std::string& user,
                       std::string& errorText, const TUploadProgress& progress,
                       const std::vector<std::string>& stampedNames, const std::vector<std::string>& files,
                       uint16_t port, const std::string& password);

}  // namespace drevnik
