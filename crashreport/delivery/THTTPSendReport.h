// Base of the bug-tracker submitters: each files a report through the
// tracker's web forms over a connection of the class it is given.
#pragma once

#include <string>
#include <vector>

#include "crashreport/delivery/THTTPConnectionBase.h"
#include "crashreport/delivery/THTTPResponse.h"

namespace drevnik {

// What a submitter files, in the order the submitters take it.
struct TTrackerReport {
    std::string Version;
    std::string ExceptionClass;
    std::string ExceptionMessage;
    std::string ExceptionId;
    std::string BaseUrl;
    std::string ProxyUrl;
    std::string User;
    std::string Password;
    std::string Project;
    std::string Category;
    std::string AssignTo;
    std::string AttachedFile;
    std::vector<std::string> Fields;  // custom fields, then the library's own four
};

class THTTPSendReport {
public:
    THTTPSendReport() = default;
    virtual ~THTTPSendReport() = default;

    void SetConnectionClass(THTTPConnectionClass connectionClass) { ConnectionClass = connectionClass; }
    // Files the report; the result code of the trackers (0 filed, 1 closed, 2..7 errors).
    virtual int Submit(const TTrackerReport& report, THTTPResponse& response) = 0;

protected:
    THTTPConnectionClass ConnectionClass = &ConnectionClassOf<THTTPConnectionBase>;
};

}  // namespace drevnik
