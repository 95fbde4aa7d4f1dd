#include "crashreport/delivery/WebUpload.h"

#include "crashreport/delivery/MultipartForm.h"
#include "crashreport/delivery/WebUrls.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "framework/core/paths.h"

namespace drevnik {

std::string MakeUploadBoundary() { return MakeMultipartBoundary(); }

bool ReadUploadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    return !path.empty() && ReadWholeFile(path, bytes, kMaxUploadFileSize);
}

std::string BuildUploadBody(const std::string& boundary, const std::vector<std::string>& fields,
                            const std::vector<std::string>& stampedNames, const std::vector<std::string>& files) {
    std::string body;
    AppendFieldParts(body, boundary, fields);
    std::string bytes;
    for (size_t i = 0; i < files.size(); ++i) {
        if (!ReadUploadFile(files[i], bytes)) continue;
        const std::string stamped = i < stampedNames.size() ? stampedNames[i] : files[i];
        AppendFilePart(body, boundary, "dv_upload_file_" + std::to_string(i), fw::ExtractFileName(stamped), bytes);
    }
    body += "--" + boundary + "--\r\n";
    return body;
}

std::string FtpRemoteName(const std::string& path, const std::string& stampedName) {
    std::string remote = path;
    if (!remote.empty() && remote.back() != '/') remote.push_back('/');
    return remote + fw::ExtractFileName(stampedName);
}

void AddOwnTrackerFields(std::vector<std::string>& fields, const std::string& trialId, const std::string& osType,
                         const std::string& osBuild, const std::string& reproduceText) {
    fields.push_back("FogBugzTrialID=" + trialId);
    fields.push_back("DV_OSType=" + osType);
    fields.push_back("DV_OSBuild=" + osBuild);
    fields.push_back("DV_ReproduceText=" + reproduceText);
}

std::string OwnTrackerField(const std::vector<std::string>& fields, const std::string& name) {
    std::string lineName, value;
    const size_t first = fields.size() >= 4 ? fields.size() - 4 : 0;
    for (size_t i = first; i < fields.size(); ++i) {
        SplitFieldLine(fields[i], lineName, value);
        if (lineName == name) return value;
    }
    return {};
}

std::string BuildServerUrl(const std::string& url, const std::string& user, const std::string& password,
                           int32_t port) {
    std::string result = url;
    // A port outside 16 bits names no port at all.
    AddPortAndCredentials(result, user, password, port > 0 && port <= 65535 ? static_cast<uint16_t>(port) : 0);
    return result;
}

std::string WebWarningText(const std::string& name, int32_t result, const std::string& errorText) {
    std::string suffix;
    if (result == kUploadWinInetMissing) {
        suffix = " - Cannot find the \"wininet.dll\" library.";
    } else if (!errorText.empty()) {
        suffix = " (" + errorText + ")";
    }
    return name + " error code: " + std::to_string(result) + suffix;
}

int TrackerResultTextIndex(int result) {
    switch (result) {
    case 0:
    case 1:
        return 0;
    case 3:
        return 148;
    case 4:
        return 150;
    case 5:
        return 149;
    case 6:
        return 151;
    case 7:
        return 152;
    default:
        return 147;
    }
}

std::string TrackerWarningText(const std::string& resultText, int32_t errorCode, const std::string& errorMessage) {
    return resultText + "\r\n\r\nError Code: " + std::to_string(errorCode) + "\r\nError Message: \"" + errorMessage +
           "\"";
}

}  // namespace drevnik
