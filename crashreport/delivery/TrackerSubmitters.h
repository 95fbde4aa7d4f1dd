// The three bug-tracker submitters: each files a report through the
// tracker's ordinary web pages over one connection, as a new bug or as an
// update of the bug that already carries the report's exception ID.
#pragma once

#include <memory>

#include "crashreport/delivery/THTTPSendReport.h"

namespace drevnik {

// Tracker results.
enum TTrackerResult : int {
    trFiled = 0,
    trClosed = 1,
    trUnknownError = 2,
    trLoginFailed = 3,
    trSelectFailed = 4,
    trSearchFailed = 5,
    trInsertFailed = 6,
    trModifyFailed = 7,
};

class THTTPMantisSendReport : public THTTPSendReport {
public:
    int Submit(const TTrackerReport& report, THTTPResponse& response) override;
};

class THTTPBugzillaSendReport : public THTTPSendReport {
public:
    int Submit(const TTrackerReport& report, THTTPResponse& response) override;
};

class THTTPFogBugzSendReport : public THTTPSendReport {
public:
    int Submit(const TTrackerReport& report, THTTPResponse& response) override;
};

// A class reference of a submitter.
using TSubmitterClass = std::unique_ptr<THTTPSendReport> (*)();
template <class T>
std::unique_ptr<THTTPSendReport> SubmitterClassOf() {
    return std::make_unique<T>();
}

// Creates the submitter, gives it the connection class and files the report.
// A connection that cannot be opened or closed gives trUnknownError with its
// text in the response's ErrorMessage.
int SendTrackerReport(THTTPConnectionClass connectionClass, TSubmitterClass submitterClass,
                      const TTrackerReport& report, THTTPResponse& response);

// The summary of a new bug: "[v<version> - 1]: <class> (<id>)".
std::string TrackerSummary(const std::string& version, const std::string& exceptionClass, const std::string& id);

}  // namespace drevnik
