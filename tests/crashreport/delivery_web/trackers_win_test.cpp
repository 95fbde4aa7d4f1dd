// The bug-tracker submitters under Wine against stand-ins of the trackers'
// pages (web_peers.py), which log every request in the order it arrived.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <fstream>

#include "crashreport/delivery/TrackerSubmitters.h"
#include "crashreport/delivery/WebUpload.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"
#include "tests/crashreport/delivery_web/WebPeers.h"

namespace drevnik {
namespace {

// Records the stages a submission reports.
class TRecordingConnection : public THTTPConnectionBase {
public:
    using THTTPConnectionBase::THTTPConnectionBase;
    void NotifyProgress(uint8_t kind, int) override {
        if (kind >= hpLogin && kind <= hpModifying) Stages += static_cast<char>('0' + kind);
    }
    ~TRecordingConnection() override { LastStages = Stages; }
    std::string Stages;
    static inline std::string LastStages;
};

class TTrackers : public TWebPeers {
protected:
    void Reset(const std::string& scenario) {
        auto c = THTTPConnectionBase::Create("http://127.0.0.1:" + std::to_string(tracker_) + "/", "");
        c->SetPage("reset?scenario=" + scenario, rmGet);
        THTTPResponse response;
        ASSERT_TRUE(c->SendRequest(response, false));
    }
    TTrackerReport Report(const std::string& tracker) {
        std::ofstream(folder_.NativePath() + "BugReport.zip", std::ios::binary) << std::string("PK\x03\x04\x00\xff\r\n", 8);
        TTrackerReport r;
        r.Version = "1.2.3.4";
        r.ExceptionClass = "EAccessViolation";
        r.ExceptionMessage = "Access violation at 00401000 \xe4";
        r.ExceptionId = "1A2B";
        r.BaseUrl = "http://127.0.0.1/" + tracker;
        AddPortAndCredentialsForTest(r.BaseUrl);
        r.ProxyUrl = ":8080";
        r.User = "reporter";
        r.Password = "p@ss word&1";
        r.Project = "Quorvex";
        r.Category = "Crashes";
        r.AssignTo = "";
        r.AttachedFile = folder_.Path() + "BugReport.zip";
        r.Fields = {"Customer=ACME & Co"};
        AddOwnTrackerFields(r.Fields, "", "Windows 7", "7601", "Pressed Run");
        return r;
    }
    void AddPortAndCredentialsForTest(std::string& url) { url = BuildServerUrl(url, "", "", tracker_); }
    template <class T>
    int Submit(const TTrackerReport& r, THTTPResponse& response) {
        return SendTrackerReport(&ConnectionClassOf<TRecordingConnection>, &SubmitterClassOf<T>, r, response);
    }
    static std::string Log() {
        std::string log;
        ReadPeerFile("tracker.log", log);
        return log;
    }
    TestFolder folder_{"trackers"};
};

// The requests every submission starts with, up to the search.
const char* const kMantisSearch = R"(POST /mantis/login.php
  return=login_select_proj_page.php
  username=reporter
  password=p@ss word&1
GET /mantis/login_select_proj_page.php
POST /mantis/set_project.php
  project_id=7
GET /mantis/my_view_page.php
POST /mantis/view_all_set.php
  ?f=3
  type=1
  page_number=1
  view_type=simple
  search=EAccessViolation (1A2B)
GET /mantis/view_all_bug_page.php
)";
const char* const kBugzillaSearch = R"(POST /bugzilla/enter_bug.cgi
  project=Quorvex
  Bugzilla_login=reporter
  Bugzilla_password=p@ss word&1
GET /bugzilla/buglist.cgi
  ?query_format=specific
  ?order=relevance desc
  ?bug_status=__all__
  ?product=Quorvex
  ?content= (1A2B)
)";
const char* const kFogBugzSearch = R"(POST /fogbugz/default.asp
  pre=preLogon
  dest=
  sPerson=reporter
  sPassword=p@ss word&1
  fRememberPassword=0
GET /fogbugz/default.asp
  ?pre=preSearch
  ?pg=pgList
  ?pgBack=pgSearch
  ?search=1
  ?bAlsoSearchClosedBugs=ON
  ?searchFor=EAccessViolation (1A2B)
)";

struct TScenario {
    const char* scenario;
    int result;
    const char* stages;
    std::string log;
};

class TTrackerRoads : public TTrackers {
protected:
    template <class T>
    void Check(const std::string& tracker, const TScenario& row) {
        SCOPED_TRACE(tracker + " " + row.scenario);
        Reset(row.scenario);
        THTTPResponse response;
        TTrackerReport report = Report(tracker);
        if (tracker == "mantis") report.AssignTo = "jdoe";
        EXPECT_EQ(Submit<T>(report, response), row.result) << response.ErrorCode << " " << response.ErrorMessage;
        EXPECT_EQ(TRecordingConnection::LastStages, row.stages);
        EXPECT_EQ(Log(), row.log);
    }
};

TEST_F(TTrackerRoads, Mantis) {
    const std::string search = kMantisSearch;
    const std::string edit = "GET /mantis/bug_update_page.php\n  ?bug_id=12\n";
    const TScenario rows[] = {
        {"new", 0, "234", search + R"(GET /mantis/bug_report_advanced_page.php
POST /mantis/bug_report.php
  m_id=0
  project_id=7
  handler_id=3
  category=Crashes
  reproducibility=10
  severity=50
  priority=30
  platform=PC
  os=Windows 7
  os_build=7601
  build=1.2.3.4
  summary=[v1.2.3.4 - 1]: EAccessViolation (1A2B)
  description=Access violation at 00401000 %C3%A4
  steps_to_reproduce=Pressed Run
  additional_info=
  view_state=10
  bug_report_token=20261211tok
  category_id=4
  Customer=ACME & Co
  file=file:BugReport.zip=PK%03%04%00%FF%0D%0A
)"},
        {"existing", 0, "2345", search + edit + R"(POST /mantis/bug_update.php
  summary=[v1.2.3.4 - 8]: EAccessViolation (1A2B)
  bug_id=12
  update_mode=1
  severity=50
  reproducibility=10
  reporter_id=2
  view_state=10
  handler_id=
  priority=30
  description=Old text <1>
  additional_information=
  bugnote_text=
  build=1.2.3.4
  bug_update_token=upd&tok
  category_id=4
  Customer=ACME & Co
GET /mantis/view.php
  ?id=12
)"},
        // A closed bug and a counter at its limit: nothing is sent after the edit page.
        {"closed", 1, "2345", search + edit},
        {"limit", 0, "2345", search + edit},
    };
    for (const TScenario& row : rows) Check<THTTPMantisSendReport>("mantis", row);
}

TEST_F(TTrackerRoads, Bugzilla) {
    const std::string search = kBugzillaSearch;
    const std::string show = "GET /bugzilla/show_bug.cgi\n  ?id=12\n";
    const TScenario rows[] = {
        // The page offers no version 1.2.3.4 and selects no component.
        {"new", 0, "243", search + R"(GET /bugzilla/enter_bug.cgi
  ?product=Quorvex
POST /bugzilla/post_bug.cgi
  product=Quorvex
  version=2.0
  component=Crash reports
  rep_platform=PC
  op_sys=Windows
  priority=P3
  bug_severity=normal
  bug_status=NEW
  assigned_to=reporter
  bug_file_loc=http://
  short_desc=[v1.2.3.4 - 1]: EAccessViolation (1A2B)
  comment=Access violation at 00401000 %E4%0D%0A%0D%0A---%0D%0A%0D%0APressed Run
  form_name=enter_bug
  bug_status=NEW
  Customer=ACME & Co
POST /bugzilla/attachment.cgi
  bugid=21
  action=insert
  description=FILE
  contenttypemethod=list
  contenttypeselection=application/octet-stream
  contenttypeentry=
  flag_type-1=X
  flag_type-2=X
  flag_type-3=X
  flag_type-4=X
  comment=
  data=file:BugReport.zip=PK%03%04%00%FF%0D%0A
)"},
        {"existing", 0, "245", search + show + R"(POST /bugzilla/process_bug.cgi
  short_desc=[v1.2.3.4 - 8]: EAccessViolation (1A2B)
  delta_ts=2026-12-10 10:00:00
  longdesclength=2
  id=12
  token=proc tok
  bug_file_loc=
  product=Quorvex
  component=Crash reports
  rep_platform=PC
  op_sys=Windows
  version=1.2.3.4
  priority=P3
  bug_severity=normal
  flag_type-6=X
  comment=
  knob=none
  assigned_to=dev@example.com
  form_name=process_bug
  Customer=ACME & Co
)"},
        {"closed", 1, "245", search + show},
        {"limit", 0, "245", search + show},
    };
    for (const TScenario& row : rows) Check<THTTPBugzillaSendReport>("bugzilla", row);
}

TEST_F(TTrackerRoads, FogBugz) {
    const std::string search = kFogBugzSearch;
    const std::string edit = "GET /fogbugz/default.asp\n  ?pg=pgEditBug\n  ?command=edit\n  ?ixBug=12\n";
    const TScenario rows[] = {
        // No trial ID: no "ID" field at logon; no one to assign: the page's choice.
        {"new", 0, "243", search + R"(GET /fogbugz/default.asp
  ?command=new
  ?pg=pgEditBug
POST /fogbugz/default.asp
  ?pre=preSubmitBug
  ?sActionToken=tok42
  command=new
  ixBug=0
  sTitle=[v1.2.3.4 - 1]: EAccessViolation (1A2B)
  sEvent=Access violation at 00401000 %E4%0D%0A%0D%0A---%0D%0A%0D%0APressed Run
  ixProject=2
  ixArea=6
  ixPersonAssignedTo=9
  ixCategory=1
  ixFixFor=1
  ixPriority=1
  hrsCurrEstNew=
  sVersion=1.2.3.4
  dblTimeStamp=46000.5
  Customer=ACME & Co
  nFileCount=1
  File1=file:BugReport.zip=PK%03%04%00%FF%0D%0A
)"},
        {"existing", 0, "245", search + edit + R"(POST /fogbugz/default.asp
  ?pre=preSubmitBug
  ?sActionToken=tok43
  sTitle=[v1.2.3.4 - 8]: EAccessViolation (1A2B)
  command=edit
  ixBug=12
  ixBugEventLatest=77
  ixProject=2
  ixPriority=3
  fIEFileBrowse=0
  fIEFileBrowse=0
  sEvent=
  sVersion=1.2.3.4
  Customer=ACME & Co
)"},
        {"closed", 1, "245", search + edit},
        {"limit", 0, "245", search + edit},
    };
    for (const TScenario& row : rows) Check<THTTPFogBugzSendReport>("fogbugz", row);
}

TEST_F(TTrackers, TrialIdGoesWithTheLogon) {
    Reset("new");
    TTrackerReport report = Report("fogbugz");
    report.Fields.clear();
    AddOwnTrackerFields(report.Fields, "trial 7", "Windows 7", "7601", "");
    report.User = "someone else";
    THTTPResponse response;
    EXPECT_EQ(Submit<THTTPFogBugzSendReport>(report, response), trLoginFailed);
    EXPECT_EQ(Log(), R"(POST /fogbugz/default.asp
  pre=preLogon
  dest=
  sPerson=someone else
  sPassword=p@ss word&1
  fRememberPassword=0
  ID=trial 7
)");
}

// Pages that are not the tracker's, a wrong login and a server that is not
// there are failures, never a filed bug.
TEST_F(TTrackers, AnswersThatAreNotTheTrackersFail) {
    struct Row {
        uint16_t port;  // 0: no server named at all
        std::string user;
        int result;
        int32_t errorCode;
    };
    const Row rows[] = {
        {upload_, "reporter", trLoginFailed, 0},
        {tracker_, "nobody", trLoginFailed, 0},
        {closed_, "reporter", trLoginFailed, ERROR_INTERNET_CANNOT_CONNECT},
        {0, "reporter", trUnknownError, 0},
    };
    for (const Row& row : rows) {
        for (const std::string tracker : {"mantis", "bugzilla", "fogbugz"}) {
            SCOPED_TRACE(tracker + " " + std::to_string(row.port) + " " + row.user);
            TTrackerReport report = Report(tracker);
            report.BaseUrl = row.port == 0 ? "" : BuildServerUrl("http://127.0.0.1/" + tracker, "", "", row.port);
            report.User = row.user;
            THTTPResponse response;
            const int result = tracker == "mantis"     ? Submit<THTTPMantisSendReport>(report, response)
                               : tracker == "bugzilla" ? Submit<THTTPBugzillaSendReport>(report, response)
                                                       : Submit<THTTPFogBugzSendReport>(report, response);
            EXPECT_EQ(result, row.result);
            EXPECT_EQ(response.ErrorCode, row.errorCode);
            if (row.errorCode != 0) {
                EXPECT_FALSE(response.ErrorMessage.empty());
            }
            if (row.port == 0) {
                EXPECT_EQ(response.ErrorMessage, "Cannot create an HTTP connection with the host: ");
            }
        }
    }
}

}  // namespace
}  // namespace drevnik
