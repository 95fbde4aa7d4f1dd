"""Asks the CGI test program for a plain page and for a faulting request,
and checks that the fault is answered with the library's error page."""
import http.client
import sys

port = int(sys.argv[1])


def get(path):
    connection = http.client.HTTPConnection("127.0.0.1", port, timeout=120)
    connection.request("GET", path)
    response = connection.getresponse()
    body = response.read().decode("latin-1")
    connection.close()
    return response, body


def expect(condition, message, body=""):
    if not condition:
        print("FAILED: " + message)
        print(body[:3000])
        sys.exit(1)


response, body = get("/fault.exe")
expect(response.status == 200 and body == "<p>fine: cgi</p>", f"plain page: {response.status}", body)

response, body = get("/fault.exe?fault")
expect(response.status == 200, f"status {response.status} {response.reason}", body)
expect(response.getheader("Content-Type") == "text/html", f"content type {response.getheader('Content-Type')}")
expect(body.startswith("<html><head><title>Failure</title></head><body>"), "the template", body)
expect("Access violation at address" in body, "the report's message", body)
expect("Call Stack Information:" in body, "the report text", body)
expect("<br>\r\n" in body, "line breaks as HTML", body)
expect('value="Ok" OnClick="history.go(-1)"' in body, "the Ok button", body)
expect("</body></html><!-- DrevnikLog ID: " in body and body.endswith(" -->"), "the id comment", body)
# The report text is escaped: no markup of its own outside the template's.
inner = body[body.index("<body>") + 6:body.index("<br><input")]
expect("<" not in inner.replace("<br>", ""), "escaped report text", inner)
print(f"CGI error page: {len(body)} bytes, ok")
