#include "crashreport/delivery/TrackerSubmitters.h"

#include <exception>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/delivery/DeliveryText.h"
#include "crashreport/delivery/HtmlFormScan.h"
#include "crashreport/delivery/MultipartForm.h"
#include "crashreport/delivery/WebUpload.h"

namespace drevnik {
namespace {

// One submission's connection; closed on every way out.
class TSession {
public:
    TSession(THTTPConnectionClass connectionClass, const TTrackerReport& report, THTTPResponse& response)
        : c_(connectionClass(report.BaseUrl, report.ProxyUrl)), response_(response) {}
    ~TSession() {
        try {
            c_->Close();
        } catch (...) {
        }
    }
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    THTTPConnectionBase& operator*() { return *c_; }
    THTTPConnectionBase* operator->() { return c_.get(); }

    void Progress(uint8_t kind) { c_->NotifyProgress(kind, 0); }
    bool Send(bool final = false) { return c_->SendRequest(response_, final); }
    // The last answer's page is `page` and its text holds `text`.
    bool Shows(const std::string& page, const std::string& text) const { return c_->ResponseMatches(page, text, ""); }
    bool ShownWithout(const std::string& page, const std::string& text) const {
        return c_->ResponseMatches(page, "", text);
    }
    bool Contains(const std::string& text) const {
        return text::IFind(c_->Response.PageText, text) != std::string::npos;
    }
    std::string After(const std::string& marker) const {
        std::string result;
        if (!ExtractTextAfter(c_->Response.PageText, marker, 1, result)) result.clear();
        return result;
    }
    void Inputs(std::initializer_list<const char*> names) {
        for (const char* name : names) c_->CopyInputField(name);
    }
    void Selects(std::initializer_list<const char*> names) {
        for (const char* name : names) c_->CopySelectField(name);
    }

private:
    std::unique_ptr<THTTPConnectionBase> c_;
    THTTPResponse& response_;
};

bool HasField(const THTTPConnectionBase& c, const std::string& name, bool needValue) {
    std::string fieldName, value;
    for (const std::string& line : c.Fields) {
        SplitFieldLine(line, fieldName, value);
        if (fieldName == name && (!needValue || !value.empty())) return true;
    }
    return false;
}

void EraseField(THTTPConnectionBase& c, const std::string& name) {
    std::string fieldName, value;
    std::erase_if(c.Fields, [&](const std::string& line) {
        SplitFieldLine(line, fieldName, value);
        return fieldName == name;
    });
}

}  // namespace

std::string TrackerSummary(const std::string& version, const std::string& exceptionClass, const std::string& id) {
    return "[v" + version + " - 1]: " + exceptionClass + " (" + id + ")";
}

int SendTrackerReport(THTTPConnectionClass connectionClass, TSubmitterClass submitterClass,
                      const TTrackerReport& report, THTTPResponse& response) {
    std::unique_ptr<THTTPSendReport> submitter = submitterClass();
    submitter->SetConnectionClass(connectionClass);
    try {
        return submitter->Submit(report, response);
    } catch (const std::exception& e) {
        // The connection could not be opened: a failed submission, not a crash of the delivery.
        response.Clear();
        response.ErrorMessage = e.what();
        return trUnknownError;
    }
}

int THTTPMantisSendReport::Submit(const TTrackerReport& r, THTTPResponse& response) {
    TSession s(ConnectionClass, r, response);
    const std::string project = EncodeUtf8(r.Project);
    const std::string category = EncodeUtf8(r.Category);
    const std::string assignTo = EncodeUtf8(r.AssignTo);
    const std::string message = EncodeUtf8(r.ExceptionMessage);
    const std::string reproduce = EncodeUtf8(OwnTrackerField(r.Fields, "DV_ReproduceText"));

    s.Progress(hpLogin);
    s->SetPage("login.php", rmPostUrlEncoded);
    s->AddField("return", "login_select_proj_page.php");
    s->AddField("username", r.User);
    s->AddField("password", r.Password);
    if (!(s.Send() && (s.Shows("login_select_proj_page.php", "name=\"project_id\"") ||
                       s.Shows("my_view_page.php", "bug_report_page.php\">"))))
        return trLoginFailed;

    s.Progress(hpSelectProject);
    const std::string selection = "<select name=\"project_id\"";
    if (!s.ShownWithout("my_view_page.php", selection)) {
        s->SetPage("set_project.php", rmPostUrlEncoded);
        s->SelectOptionByText("project_id", project);
        if (!s.Send()) return trSelectFailed;
    }
    if (!(s.Shows("my_view_page.php", ">" + project + "</option>") ||
          s.Shows("my_view_page.php", " " + project + "</option>") || s.ShownWithout("my_view_page.php", selection)))
        return trSelectFailed;

    s.Progress(hpSearching);
    s->SetPage("view_all_set.php?f=3", rmPostUrlEncoded);
    s->AddField("type", "1");
    s->AddField("page_number", "1");
    s->AddField("view_type", "simple");
    s->AddSearchField("search", r.Version, r.ExceptionClass, r.ExceptionId);
    if (!s.Send() || !(s.Shows("view_all_bug_page.php", "name=\"reset_query_button\"") ||
                       s.Shows("view_all_bug_page.php", "name=\"source_query_id\"")))
        return trSearchFailed;

    if (!s.Contains("bug_update_page.php?bug_id=") && !s.Contains("bug_update_advanced_page.php?bug_id=")) {
        s->SetPage("bug_report_advanced_page.php", rmGet);
        if (!(s.Send() && s.Shows("bug_report_advanced_page.php", "name=\"file\" type=\"file\""))) return trInsertFailed;
        s->SetPage("bug_report.php", rmPostMultipart);
        s.Inputs({"m_id", "project_id"});
        s->SelectOptionByText("handler_id", assignTo);
        s->SelectOptionByText("category", category);
        s->AddField("reproducibility", "10");
        s.Selects({"severity", "priority"});
        s.Inputs({"platform"});
        s->AddField("os", OwnTrackerField(r.Fields, "DV_OSType"));
        s->AddField("os_build", OwnTrackerField(r.Fields, "DV_OSBuild"));
        s->AddField("build", r.Version);
        s->AddSummaryField("summary", r.Version, r.ExceptionClass, r.ExceptionId);
        s->AddField("description", message);
        s->AddField("steps_to_reproduce", reproduce);
        s->AddField("additional_info", "");
        s->AddField("view_state", "10");
        s.Inputs({"report_stay", "bug_report_token"});
        s->SelectOptionByText("category_id", category);
        s->AddCustomFields(r.Fields);
        if (!r.AttachedFile.empty()) s->Files.push_back("file=" + r.AttachedFile);
        return s.Send(true) && s.Shows("bug_report.php", "href=\"view.php?id=") ? trFiled : trInsertFailed;
    }

    s.Progress(hpModifying);
    std::string number = s.After("bug_update_page.php?bug_id=");
    if (number.empty()) number = s.After("bug_update_advanced_page.php?bug_id=");
    // A link without a number names no bug to update.
    if (number.empty()) return trModifyFailed;
    s->SetPage("bug_update_page.php", rmGet);
    s->AddField("bug_id", number);
    if (!(s.Send() && s.Shows("bug_update_page.php", "name=\"severity\""))) return trModifyFailed;
    s->SetPage("bug_update.php", rmPostUrlEncoded);
    if (!s->BumpSummaryCounter("summary")) return trFiled;
    std::string status;
    if (FindSelectSelectedValue(s->Response.PageText, "status", status) && (status == "80" || status == "90"))
        return trClosed;
    s->AddField("bug_id", number);
    s.Inputs({"update_mode"});
    s.Selects({"category", "severity", "reproducibility", "reporter_id", "view_state", "handler_id", "priority"});
    s->CopySelectFieldIfSet("resolution");
    for (const char* area : {"description", "additional_information", "bugnote_text"}) s->CopyTextAreaField(area);
    s->AddField("build", r.Version);
    s.Inputs({"bug_update_token"});
    s.Selects({"category_id"});
    s->AddCustomFields(r.Fields);
    return s.Send(true) && (s.Shows("bug_update.php", "href=\"view.php?id=") || s.Shows("view.php", "href=\"view.php?id="))
               ? trFiled
               : trModifyFailed;
}

namespace {

// The version field of a Bugzilla form: the program's version when the page
// offers it, else the page's selection.
void AddBugzillaVersion(TSession& s, const std::string& version) {
    if (s->Response.PageText.find("<option value=\"" + version + "\">") != std::string::npos) {
        s->AddField("version", version);
    } else {
        s->CopySelectField("version");
    }
}

}  // namespace

int THTTPBugzillaSendReport::Submit(const TTrackerReport& r, THTTPResponse& response) {
    TSession s(ConnectionClass, r, response);

    s.Progress(hpLogin);
    s->SetPage("enter_bug.cgi", rmPostUrlEncoded);
    s->AddField("project", r.Project);
    s->AddField("Bugzilla_login", r.User);
    s->AddField("Bugzilla_password", r.Password);
    if (!s.Send() || !(s.Shows("enter_bug.cgi", "relogin.cgi") || s.Shows("enter_bug.cgi", "index.cgi?logout=1")))
        return trLoginFailed;

    s.Progress(hpSearching);
    s->SetPage("buglist.cgi", rmGet);
    s->AddField("query_format", "specific");
    s->AddField("order", "relevance desc");
    s->AddField("bug_status", "__all__");
    s->AddField("product", r.Project);
    s->AddSearchField("content", r.Version, "", r.ExceptionId);
    if (!s.Send() || !s.Shows("buglist.cgi", "href=\"query.cgi?")) return trSearchFailed;

    const std::string summary = TrackerSummary(r.Version, r.ExceptionClass, r.ExceptionId);
    if (!s.Contains("show_bug.cgi?id=")) {
        s.Progress(hpSelectProject);
        s->SetPage("enter_bug.cgi", rmGet);
        s->AddField("product", r.Project);
        if (!(s.Send() && s.Shows("enter_bug.cgi", "action=\"post_bug.cgi\""))) return trSelectFailed;

        s->SetPage("post_bug.cgi", rmPostUrlEncoded);
        s.Inputs({"product"});
        AddBugzillaVersion(s, r.Version);
        s->CopySelectField("component");
        if (!HasField(*s, "component", true)) {
            EraseField(*s, "component");
            const std::string& page = s->Response.PageText;
            const std::string marker = "components[0] = \"";
            const size_t at = page.find(marker);
            if (at != std::string::npos) {
                const size_t start = at + marker.size();
                const size_t end = page.find('"', start);
                if (end != std::string::npos) s->AddField("component", page.substr(start, end - start));
            }
        }
        s.Selects({"rep_platform", "op_sys", "priority", "bug_severity", "target_milestone"});
        s.Inputs({"bug_status"});
        s->AddField("assigned_to", r.AssignTo.empty() ? r.User : r.AssignTo);
        s.Inputs({"qa_contact", "cc", "estimated_time", "deadline", "bug_file_loc"});
        s->AddField("short_desc", summary);
        s->AddField("comment",
                    THTTPConnectionBase::JoinTexts(r.ExceptionMessage, OwnTrackerField(r.Fields, "DV_ReproduceText")));
        s.Inputs({"keywords", "dependson", "blocked"});
        s->AddField("form_name", "enter_bug");
        s.Selects({"bug_status"});
        s->AddCustomFields(r.Fields);
        if (!(s.Send() && s.Shows("post_bug.cgi", "show_bug.cgi?id="))) return trInsertFailed;

        std::string bugId;
        // Without the new bug's number the attachment would go nowhere.
        if (!FindInputValue(s->Response.PageText, "id", bugId) || bugId.empty()) return trInsertFailed;
        s->SetPage("attachment.cgi", rmPostMultipart);
        s->AddField("bugid", bugId);
        s->AddField("action", "insert");
        s->AddField("description", "FILE");
        s->AddField("contenttypemethod", "list");
        s->AddField("contenttypeselection", "application/octet-stream");
        s->AddField("contenttypeentry", "");
        for (int i = 1; i <= 4; ++i) s->AddField("flag_type-" + std::to_string(i), "X");
        s->AddField("comment", "");
        if (!r.AttachedFile.empty()) s->Files.push_back("data=" + r.AttachedFile);
        return s.Send(true) && s.Shows("attachment.cgi", "attachment.cgi") ? trFiled : trInsertFailed;
    }

    s.Progress(hpModifying);
    const std::string number = s.After("show_bug.cgi?id=");
    if (number.empty()) return trModifyFailed;
    s->SetPage("show_bug.cgi", rmGet);
    s->AddField("id", number);
    if (!s.Send() ||
        !(s.Shows("show_bug.cgi", "name=\"form_name\"") || s.Shows("show_bug.cgi", "type=\"hidden\" id=\"component\"") ||
          s.Shows("show_bug.cgi", "select id=\"component\" name=\"component\"") ||
          s.Shows("show_bug.cgi", "<label for=\"component\" accesskey=\"")))
        return trModifyFailed;
    s->SetPage("process_bug.cgi", rmPostUrlEncoded);
    if (!s->BumpSummaryCounter("short_desc")) return trFiled;
    if (s.Contains("value=\"reopen\"") || s.Contains("value=\"reopened\"")) return trClosed;
    s.Inputs({"delta_ts", "longdesclength", "id", "token", "alias", "bug_file_loc"});
    if (!HasField(*s, "bug_file_loc", false)) s->AddField("bug_file_loc", "");
    s.Selects({"product", "component", "rep_platform", "op_sys"});
    AddBugzillaVersion(s, r.Version);
    s.Selects({"priority", "bug_severity", "target_milestone"});
    s.Inputs({"newcc", "cc", "qa_contact", "bug_file_loc", "status_whiteboard", "keywords"});
    s->AddField("flag_type-6", "X");
    s.Inputs({"requestee_type-6", "dependson", "blocked"});
    s->CopyTextAreaField("comment");
    s->AddField("knob", "none");
    s->CopySelectFieldIfSet("resolution");
    s.Inputs({"dup_id", "assigned_to", "form_name"});
    s->AddCustomFields(r.Fields);
    return s.Send(true) && s.Shows("process_bug.cgi", "show_bug.cgi?id=") ? trFiled : trModifyFailed;
}

namespace {

// The submit page of a FogBugz form, with the action token of the last page.
std::string FogBugzSubmitPage(TSession& s) {
    const std::string& page = s->Response.PageText;
    std::string token;
    const size_t at = page.find("sActionToken=");
    if (at != std::string::npos) {
        const size_t start = at + 13;
        const size_t end = page.find('"', start);
        token = page.substr(start, end == std::string::npos ? std::string::npos : end - start);
    }
    return token.empty() ? "default.asp?pre=preSubmitBug" : "default.asp?pre=preSubmitBug&sActionToken=" + token;
}

}  // namespace

int THTTPFogBugzSendReport::Submit(const TTrackerReport& r, THTTPResponse& response) {
    TSession s(ConnectionClass, r, response);
    const std::string page = "default.asp";

    s.Progress(hpLogin);
    s->SetPage(page, rmPostUrlEncoded);
    s->AddField("pre", "preLogon");
    s->AddField("dest", "");
    s->AddField("sPerson", r.User);
    s->AddField("sPassword", r.Password);
    s->AddField("fRememberPassword", "0");
    const std::string trialId = OwnTrackerField(r.Fields, "FogBugzTrialID");
    if (!trialId.empty()) s->AddField("ID", trialId);
    if (!(s.Send() && s.Shows(page, "pre=preLogOff"))) return trLoginFailed;

    s.Progress(hpSearching);
    s->SetPage(page, rmGet);
    s->AddField("pre", "preSearch");
    s->AddField("pg", "pgList");
    s->AddField("pgBack", "pgSearch");
    s->AddField("search", "1");
    s->AddField("bAlsoSearchClosedBugs", "ON");
    s->AddSearchField("searchFor", r.Version, r.ExceptionClass, r.ExceptionId);
    if (!s.Send() || !s.Shows(page, "searchFor=")) return trSearchFailed;

    const std::string reproduce = OwnTrackerField(r.Fields, "DV_ReproduceText");
    if (!s.Contains("default.asp?pg=pgeditbug") && !s.Contains("default.asp?pgx=EV&amp;ixBug=")) {
        s.Progress(hpSelectProject);
        s->SetPage(page, rmGet);
        s->AddField("command", "new");
        s->AddField("pg", "pgEditBug");
        if (!s.Send() || !text::IEquals(s->Response.PageName, page)) return trInsertFailed;

        s->SetPage(FogBugzSubmitPage(s), rmPostMultipart);
        s.Inputs({"command", "dtTimeStamp", "ixBug", "ixBugEventLatest", "ixPersonLastOwner", "ixDiscussTopic",
                  "ixScreenshot", "sOriginalTitle"});
        s->AddSummaryField("sTitle", r.Version, r.ExceptionClass, r.ExceptionId);
        s->AddField("sEvent", THTTPConnectionBase::JoinTexts(r.ExceptionMessage, reproduce));
        s->SelectOptionByText("ixProject", r.Project);
        s->SelectOptionByText("ixArea", r.Project + ": " + r.Category);
        if (r.AssignTo.empty()) {
            s->CopySelectField("ixPersonAssignedTo");
        } else {
            s->SelectOptionByText("ixPersonAssignedTo", r.AssignTo);
        }
        s.Selects({"ixCategory", "ixFixFor"});
        s->AddField("ixPriority", "1");
        s.Inputs({"sDueDate", "sDueTime"});
        s->AddField("hrsCurrEstNew", "");
        s.Inputs({"hrsElapsedNew", "omitAtt", "fIEFileBrowse"});
        s->AddField("sVersion", r.Version);
        s.Inputs({"sComputer", "dblTimeStamp"});
        s->AddCustomFields(r.Fields);
        if (!r.AttachedFile.empty()) {
            s->AddField("nFileCount", "1");
            s->Files.push_back("File1=" + r.AttachedFile);
        } else {
            s->AddField("nFileCount", "0");
        }
        return s.Send(true) && s.Shows(page, "command=resolve") ? trFiled : trInsertFailed;
    }

    s.Progress(hpModifying);
    const std::string number = s.After("ixBug=");
    if (number.empty()) return trModifyFailed;
    s->SetPage(page, rmGet);
    s->AddField("pg", "pgEditBug");
    s->AddField("command", "edit");
    s->AddField("ixBug", number);
    if (!(s.Send() && s.Shows(page, "name=\"OK\""))) return trModifyFailed;
    s->SetPage(FogBugzSubmitPage(s), rmPostMultipart);
    if (!s->BumpSummaryCounter("sTitle")) return trFiled;
    if (s.Contains("default.asp?pg=pgEditReleaseNotes")) return trClosed;
    s.Inputs({"command", "dtTimeStamp"});
    s->AddField("ixBug", number);
    s.Inputs({"ixBugEventLatest", "ixPersonLastOwner", "ixDiscussTopic", "ixScreenshot", "sOriginalTitle", "sEvent"});
    s.Selects({"ixProject", "ixArea", "ixPersonAssignedTo", "ixCategory", "ixFixFor", "ixPriority"});
    s.Inputs({"sDueDate", "sDueTime", "hrsCurrEstNew", "hrsElapsedNew", "dblTimeStamp", "fIEFileBrowse",
              "fIEFileBrowse", "hrsCurrEstNew", "idSubscriptionState", "ixDiscussTopic", "ixPersonLastOwner",
              "nFileCount", "omitAtt", "sComputer"});
    s->CopyTextAreaField("sEvent");
    s.Inputs({"sOriginalTitle"});
    s->AddField("sVersion", r.Version);
    s->AddCustomFields(r.Fields);
    return s.Send(true) && s.Shows(page, "command=resolve") ? trFiled : trModifyFailed;
}

}  // namespace drevnik
