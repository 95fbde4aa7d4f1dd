"""Test peers of the web channels on 127.0.0.1: an upload page over HTTP and
HTTPS that stores each request's raw body, an FTP server (pyftpdlib), and
stand-ins of the three bug trackers' pages that log every request they get
in arrival order. Writes the chosen ports to <work>/ports and serves until
killed. Stored files: <work>/uploads/<name>.body and .head, <work>/ftp/...,
<work>/tracker.log.
"""
import os
import re
import socket
import sys
import threading
import urllib.parse

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import ThreadedFTPServer
from werkzeug.serving import make_server
from werkzeug.wrappers import Request, Response

WORK = sys.argv[1]
UPLOAD_USER, UPLOAD_PASSWORD = "uploader", "pa:ss w@rd"
FTP_USER, FTP_PASSWORD = "ftpjoe", "ftp:pw"
TRACKER_USER, TRACKER_PASSWORD = "reporter", "p@ss word&1"

lock = threading.Lock()


def esc(data):
    """Bytes as text: printable ASCII stays, everything else and '%' is %XX."""
    if isinstance(data, str):
        data = data.encode("latin-1")
    return "".join(chr(b) if 32 <= b < 127 and b != 37 else "%%%02X" % b for b in data)


def parse_body(request, raw):
    """Fields (name, value, filename or None) in the order they arrived."""
    ctype = request.headers.get("Content-Type", "")
    if ctype.startswith("application/x-www-form-urlencoded"):
        return [(k, v.encode("latin-1"), None)
                for k, v in urllib.parse.parse_qsl(raw.decode("latin-1"), keep_blank_values=True, encoding="latin-1")]
    m = re.match(r"multipart/form-data; boundary=(.+)$", ctype)
    if not m:
        return []
    boundary = b"--" + m.group(1).encode()
    if not raw.endswith(boundary + b"--\r\n"):
        return [("BROKEN-END", raw[-60:], None)]
    fields = []
    for part in raw[:-len(boundary) - 4].split(boundary)[1:]:
        head, _, content = part[2:].partition(b"\r\n\r\n")
        if not content.endswith(b"\r\n"):
            return fields + [("BROKEN-PART", part, None)]
        content = content[:-2]
        name = re.search(rb'name="([^"]*)"', head).group(1).decode("latin-1")
        filename = re.search(rb'filename="([^"]*)"', head)
        fields.append((name, content, filename.group(1).decode("latin-1") if filename else None))
    return fields


# ---- The upload page ----

def upload_app(environ, start_response):
    request = Request(environ)
    raw = request.get_data(cache=True, parse_form_data=False)
    path = request.path
    if path.startswith("/auth/"):
        auth = request.authorization
        if auth is None or (auth.username, auth.password) != (UPLOAD_USER, UPLOAD_PASSWORD):
            return Response("login", status=401, headers={"WWW-Authenticate": 'Basic realm="up"'})(environ, start_response)
    if request.method == "POST" and path.endswith("/store.php"):
        name = request.args.get("as", "last")
        folder = os.path.join(WORK, "uploads")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, name + ".body"), "wb") as out:
            out.write(raw)
        with open(os.path.join(folder, name + ".head"), "w") as out:
            out.write("Content-Type: %s\n" % request.headers.get("Content-Type", ""))
            if request.authorization is not None:
                out.write("Authorization: %s:%s\n" % (request.authorization.username, request.authorization.password))
        return Response("stored")(environ, start_response)
    return Response("Nothing here", status=404)(environ, start_response)


# ---- Bug tracker stand-ins ----

class Tracker:
    def __init__(self):
        self.reset("new")

    def reset(self, scenario):
        self.scenario = scenario
        self.bugs = {}
        if scenario in ("existing", "closed", "limit"):
            counter = {"existing": "7", "closed": "3", "limit": "9999"}[scenario]
            self.bugs[12] = {"summary": "[v1.2.3.4 - %s]: EAccessViolation (1A2B)" % counter,
                             "closed": scenario == "closed"}

    def find(self, text):
        return [n for n, bug in self.bugs.items() if text and text in bug["summary"]]


tracker = Tracker()


def log_request(request, raw):
    lines = ["%s %s" % (request.method, esc(request.path))]
    query = request.query_string.decode("latin-1")
    for name, value in urllib.parse.parse_qsl(query, keep_blank_values=True, encoding="latin-1"):
        lines.append("  ?%s=%s" % (esc(name), esc(value)))
    for name, value, filename in parse_body(request, raw):
        if filename is None:
            lines.append("  %s=%s" % (esc(name), esc(value)))
        else:
            lines.append("  %s=file:%s=%s" % (esc(name), esc(filename), esc(value)))
    with open(os.path.join(WORK, "tracker.log"), "a") as out:
        out.write("\n".join(lines) + "\n")


def page(body, status=200):
    return Response("<html><body>%s</body></html>" % body, status=status, content_type="text/html")


def redirect(to):
    return Response("moved", status=302, headers={"Location": to})


def form_value(request, raw, name):
    for key, value, _ in parse_body(request, raw):
        if key == name:
            return value.decode("latin-1")
    return request.args.get(name, "")


def mantis(request, raw, name):
    f = lambda key: form_value(request, raw, key)
    if name == "login.php":
        if (f("username"), f("password")) == (TRACKER_USER, TRACKER_PASSWORD):
            return redirect("login_select_proj_page.php")
        return redirect("login_page.php?error=1")
    if name == "login_page.php":
        return page('<form action="login.php">Your account may be disabled</form>')
    if name == "login_select_proj_page.php":
        return page('<form action="set_project.php"><select name="project_id"><option value="1">Other</option>'
                    '<option value="7">Quorvex</option></select></form>')
    if name == "set_project.php":
        return redirect("my_view_page.php")
    if name == "my_view_page.php":
        return page('<select name="project_id"><option value="1">Other</option>'
                    '<option value="7" selected="selected">Quorvex</option></select>'
                    '<a href="bug_report_page.php">Report Issue</a>')
    if name == "view_all_set.php":
        tracker.search = f("search")
        return redirect("view_all_bug_page.php")
    if name == "view_all_bug_page.php":
        links = "".join('<a href="bug_update_page.php?bug_id=%d">edit</a>' % n for n in tracker.find(tracker.search))
        return page('<form><input type="submit" name="reset_query_button" value="Reset"/></form>' + links)
    if name == "bug_report_advanced_page.php":
        return page('<form method="post" enctype="multipart/form-data" action="bug_report.php">'
                    '<input type="hidden" name="m_id" value="0"/>'
                    '<input type="hidden" name="project_id" value="7"/>'
                    '<input type="hidden" name="bug_report_token" value="20261211tok"/>'
                    '<select name="handler_id"><option value="0"></option><option value="3">jdoe</option></select>'
                    '<select name="category_id"><option value="1">General</option><option value="4">Crashes</option></select>'
                    '<select name="category"><option value="General">General</option><option value="Crashes">Crashes</option></select>'
                    '<select name="severity"><option value="10">feature</option><option value="50" selected="selected">minor</option></select>'
                    '<select name="priority"><option value="30" selected="selected">normal</option></select>'
                    '<input type="text" name="platform" value="PC"/>'
                    '<input name="file" type="file" size="60"/></form>')
    if name == "bug_report.php":
        number = max(list(tracker.bugs) + [12]) + 1
        tracker.bugs[number] = {"summary": f("summary"), "closed": False}
        return page('Operation successful. <a href="view.php?id=%d">View Submitted Issue %d</a>' % (number, number))
    if name == "bug_update_page.php":
        number = int(request.args.get("bug_id", "0") or 0)
        bug = tracker.bugs.get(number)
        if bug is None:
            return page("Issue %d not found." % number, status=404)
        status = "80" if bug["closed"] else "50"
        return page('<form method="post" action="bug_update.php">'
                    '<input type="hidden" name="bug_update_token" value="upd&amp;tok"/>'
                    '<input type="hidden" name="update_mode" value="1"/>'
                    '<select name="category_id"><option value="4" selected="selected">Crashes</option></select>'
                    '<select name="severity"><option value="50" selected="selected">minor</option></select>'
                    '<select name="reproducibility"><option value="10" selected="selected">always</option></select>'
                    '<select name="reporter_id"><option value="2" selected="selected">reporter</option></select>'
                    '<select name="view_state"><option value="10" selected="selected">public</option></select>'
                    '<select name="handler_id"><option value="0"></option></select>'
                    '<select name="priority"><option value="30" selected="selected">normal</option></select>'
                    '<select name="status"><option value="50"%s>assigned</option><option value="80"%s>resolved</option></select>'
                    '<select name="resolution"><option value="10">open</option></select>'
                    '<input type="text" name="summary" value="%s"/>'
                    '<textarea name="description">Old text &lt;1&gt;</textarea>'
                    '<textarea name="additional_information"></textarea>'
                    '<textarea name="bugnote_text"></textarea></form>'
                    % ("" if bug["closed"] else ' selected="selected"', ' selected="selected"' if bug["closed"] else "",
                       bug["summary"]))
    if name == "bug_update.php":
        number = int(f("bug_id") or 0)
        tracker.bugs[number]["summary"] = f("summary")
        return redirect("view.php?id=%d" % number)
    if name == "view.php":
        return page('<a href="view.php?id=%s">Issue</a>' % request.args.get("id", ""))
    return page("no such page", status=404)


def bugzilla(request, raw, name):
    f = lambda key: form_value(request, raw, key)
    if name == "enter_bug.cgi" and request.method == "POST":
        if (f("Bugzilla_login"), f("Bugzilla_password")) == (TRACKER_USER, TRACKER_PASSWORD):
            return page('<a href="index.cgi?logout=1">Log out</a> Select a product: Quorvex')
        return page("Invalid Username Or Password")
    if name == "buglist.cgi":
        links = "".join('<a href="show_bug.cgi?id=%d">%d</a>' % (n, n) for n in tracker.find(f("content")))
        return page('%s bugs found. <a href="query.cgi?format=specific">Edit Search</a>' % len(links) + links)
    if name == "enter_bug.cgi":
        return page('<script>var components = new Array(1); components[0] = "Crash reports";</script>'
                    '<form name="Create" method="post" action="post_bug.cgi">'
                    '<input type="hidden" name="product" value="%s"/>'
                    '<select name="version"><option value="1.0">1.0</option><option value="2.0" selected="selected">2.0</option></select>'
                    '<select name="component"><option value="Crash reports">Crash reports</option></select>'
                    '<select name="rep_platform"><option value="PC" selected>PC</option></select>'
                    '<select name="op_sys"><option value="Windows" selected>Windows</option></select>'
                    '<select name="priority"><option value="P3" selected>P3</option></select>'
                    '<select name="bug_severity"><option value="normal" selected>normal</option></select>'
                    '<input type="hidden" name="bug_status" value="NEW"/>'
                    '<input name="cc" value=""/><input name="bug_file_loc" value="http://"/>'
                    '<input type="hidden" name="token" value="bztok"/></form>' % f("product"))
    if name == "post_bug.cgi":
        number = max(list(tracker.bugs) + [20]) + 1
        tracker.bugs[number] = {"summary": f("short_desc"), "closed": False}
        return page('Bug %d has been added. <a href="show_bug.cgi?id=%d">Bug %d</a>'
                    '<form action="attachment.cgi"><input type="hidden" name="id" value="%d"/></form>'
                    % (number, number, number, number))
    if name == "attachment.cgi":
        return page('Attachment 5 added to bug %s. <a href="attachment.cgi?id=5">Details</a>' % f("bugid"))
    if name == "show_bug.cgi":
        number = int(request.args.get("id", "0") or 0)
        bug = tracker.bugs.get(number)
        if bug is None:
            return page("Bug %d does not exist." % number)
        reopen = '<input type="radio" name="knob" value="reopen"/>' if bug["closed"] else ""
        return page('<form name="changeform" method="post" action="process_bug.cgi">'
                    '<input type="hidden" name="delta_ts" value="2026-12-10 10:00:00"/>'
                    '<input type="hidden" name="longdesclength" value="2"/>'
                    '<input type="hidden" name="id" value="%d"/>'
                    '<input type="hidden" name="token" value="proc tok"/>'
                    '<input name="short_desc" value="%s"/>'
                    '<select name="product"><option value="Quorvex" selected>Quorvex</option></select>'
                    '<select id="component" name="component"><option value="Crash reports" selected>Crash reports</option></select>'
                    '<select name="rep_platform"><option value="PC" selected>PC</option></select>'
                    '<select name="op_sys"><option value="Windows" selected>Windows</option></select>'
                    '<select name="version"><option value="1.2.3.4">1.2.3.4</option><option value="2.0" selected>2.0</option></select>'
                    '<select name="priority"><option value="P3" selected>P3</option></select>'
                    '<select name="bug_severity"><option value="normal" selected>normal</option></select>'
                    '<input name="assigned_to" value="dev@example.com"/>'
                    '<textarea name="comment"></textarea>%s'
                    '<input type="hidden" name="form_name" value="process_bug"/></form>'
                    % (number, bug["summary"], reopen))
    if name == "process_bug.cgi":
        number = int(f("id") or 0)
        tracker.bugs[number]["summary"] = f("short_desc")
        return page('Changes submitted for <a href="show_bug.cgi?id=%d">bug %d</a>' % (number, number))
    return page("no such page", status=404)


def fogbugz(request, raw, name):
    f = lambda key: form_value(request, raw, key)
    if name != "default.asp":
        return page("no such page", status=404)
    pre, pg, command = f("pre"), f("pg"), f("command")
    if pre == "preLogon":
        if (f("sPerson"), f("sPassword")) == (TRACKER_USER, TRACKER_PASSWORD):
            return page('<a href="default.asp?pre=preLogOff">Log Off</a>')
        return page("Incorrect password or user name")
    if pre == "preSearch":
        links = "".join('<a href="default.asp?pg=pgEditBug&amp;command=view&amp;ixBug=%d">%d</a>' % (n, n)
                        for n in tracker.find(f("searchFor")))
        return page('<a href="default.asp?pg=pgList&amp;searchFor=x">Search again</a>' + links)
    if pg == "pgEditBug" and command == "new":
        return page('<form method="post" enctype="multipart/form-data" '
                    'action="default.asp?pre=preSubmitBug&sActionToken=tok42">'
                    '<input type="hidden" name="command" value="new"/>'
                    '<input type="hidden" name="ixBug" value="0"/>'
                    '<input type="hidden" name="dblTimeStamp" value="46000.5"/>'
                    '<select name="ixProject"><option value="1">Inbox</option><option value="2">Quorvex</option></select>'
                    '<select name="ixArea"><option value="5">Quorvex: Misc</option><option value="6">Quorvex: Crashes</option></select>'
                    '<select name="ixPersonAssignedTo"><option value="9" selected>Up For Grabs</option></select>'
                    '<select name="ixCategory"><option value="1" selected>Bug</option></select>'
                    '<select name="ixFixFor"><option value="1" selected>Undecided</option></select>'
                    '<input type="file" name="File1"/></form>')
    if pre == "preSubmitBug":
        number = int(f("ixBug") or 0)
        if number == 0:
            number = max(list(tracker.bugs) + [30]) + 1
            tracker.bugs[number] = {"summary": f("sTitle"), "closed": False}
        else:
            tracker.bugs[number]["summary"] = f("sTitle")
        return page('Case %d saved. <a href="default.asp?command=resolve&amp;ixBug=%d">Resolve</a>' % (number, number))
    if pg == "pgEditBug" and command == "edit":
        number = int(f("ixBug") or 0)
        bug = tracker.bugs.get(number)
        if bug is None:
            return page("No such case")
        notes = '<a href="default.asp?pg=pgEditReleaseNotes&amp;ixBug=%d">Release notes</a>' % number if bug["closed"] else ""
        return page('<form method="post" action="default.asp?pre=preSubmitBug&sActionToken=tok43">'
                    '<input type="hidden" name="command" value="edit"/>'
                    '<input type="hidden" name="ixBug" value="%d"/>'
                    '<input type="hidden" name="ixBugEventLatest" value="77"/>'
                    '<input type="hidden" name="fIEFileBrowse" value="0"/>'
                    '<input name="sTitle" value="%s"/>'
                    '<select name="ixProject"><option value="2" selected>Quorvex</option></select>'
                    '<select name="ixPriority"><option value="3" selected>3 - Must Fix</option></select>'
                    '<textarea name="sEvent"></textarea>%s'
                    '<input type="submit" name="OK" value="OK"/></form>' % (number, bug["summary"], notes))
    return page("unknown request")


def tracker_app(environ, start_response):
    request = Request(environ)
    raw = request.get_data(cache=True, parse_form_data=False)
    parts = request.path.strip("/").split("/")
    with lock:
        if parts[0] == "reset":
            tracker.reset(request.args.get("scenario", "new"))
            try:
                os.remove(os.path.join(WORK, "tracker.log"))
            except FileNotFoundError:
                pass
            response = page("reset")
        else:
            log_request(request, raw)
            handler = {"mantis": mantis, "bugzilla": bugzilla, "fogbugz": fogbugz}.get(parts[0])
            name = parts[-1] if len(parts) > 1 else ""
            response = handler(request, raw, name) if handler else page("no tracker", status=404)
    return response(environ, start_response)


def main():
    servers = {
        "UPLOAD": make_server("127.0.0.1", 0, upload_app, threaded=True),
        "UPLOADS": make_server("127.0.0.1", 0, upload_app, threaded=True,
                               ssl_context=(WORK + "/cert.pem", WORK + "/key.pem")),
        "TRACKER": make_server("127.0.0.1", 0, tracker_app, threaded=True),
    }
    for server in servers.values():
        threading.Thread(target=server.serve_forever, daemon=True).start()

    ftp_root = os.path.join(WORK, "ftp")
    os.makedirs(os.path.join(ftp_root, "reports"), exist_ok=True)
    authorizer = DummyAuthorizer()
    authorizer.add_user(FTP_USER, FTP_PASSWORD, ftp_root, perm="elradfmw")
    handler = type("Handler", (FTPHandler,), {"authorizer": authorizer, "banner": "ftp peer ready"})
    ftp = ThreadedFTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=ftp.serve_forever, daemon=True).start()

    # Bound but never listening: connections are refused.
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    with open(WORK + "/ports.tmp", "w") as out:
        for key, server in servers.items():
            out.write("KYN_%s_PORT=%d\n" % (key, server.server_address[1]))
        out.write("KYN_FTP_PORT=%d\n" % ftp.address[1])
        out.write("KYN_CLOSED_PORT=%d\n" % closed.getsockname()[1])
        out.write("KYN_WEB_WORK=%s\n" % WORK)
    os.rename(WORK + "/ports.tmp", WORK + "/ports")
    threading.Event().wait()


if __name__ == "__main__":
    main()
