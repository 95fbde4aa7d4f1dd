"""An HTTP server for the transfer tests that misbehaves on demand.

Paths (the same when the request comes as a proxy request with a full URL):
  /data/<n>                n bytes (byte i is i % 251) with Content-Length
  /nolength/<n>            n bytes, no Content-Length, connection closed after
  /short/<announced>/<n>   Content-Length <announced>, only n bytes, then closed
  /stall/<announced>/<n>   Content-Length <announced>, n bytes, then silence
  /stallheaders            the request is read and never answered
  /auth401                 always 401 with a Basic challenge
  /status/<code>           that status with a short body
  /lastmod/<epoch>/<n>     n bytes with Last-Modified at that Unix time
Every request is appended to the log file as one line:
  request line TAB Authorization TAB Proxy-Authorization
"""
import argparse
import email.utils
import http.server
import threading
import time
import urllib.parse


def pattern(n):
    return bytes(i % 251 for i in range(n))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def record(self):
        with open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write("%s\t%s\t%s\n" % (self.requestline, self.headers.get("Authorization", ""),
                                         self.headers.get("Proxy-Authorization", "")))

    def send_body(self, code, body, length=None, extra=()):
        self.send_response(code)
        self.send_header("Content-Type", "application/octet-stream")
        if length is not None:
            self.send_header("Content-Length", str(length))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def do_GET(self):
        self.record()
        parts = [p for p in urllib.parse.urlsplit(self.path).path.split("/") if p]
        kind, args = (parts[0], parts[1:]) if parts else ("", [])
        if kind == "data":
            n = int(args[0])
            self.send_body(200, pattern(n), n)
        elif kind == "nolength":
            self.close_connection = True
            self.send_body(200, pattern(int(args[0])), extra=[("Connection", "close")])
        elif kind == "short":
            self.close_connection = True
            self.send_body(200, pattern(int(args[1])), int(args[0]))
        elif kind == "stall":
            self.send_body(200, pattern(int(args[1])), int(args[0]))
            self.server.stop.wait(120)
            self.close_connection = True
        elif kind == "stallheaders":
            self.server.stop.wait(120)
            self.close_connection = True
        elif kind == "auth401":
            self.send_body(401, b"denied", 6, [("WWW-Authenticate", 'Basic realm="endless"')])
        elif kind == "status":
            self.send_body(int(args[0]), b"status", 6)
        elif kind == "lastmod":
            n = int(args[1])
            stamp = email.utils.formatdate(int(args[0]), usegmt=True)
            self.send_body(200, pattern(n), n, [("Last-Modified", stamp)])
        else:
            self.send_body(404, b"unknown", 7)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--log", required=True)
    a = ap.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.log_path = a.log
    server.stop = threading.Event()
    open(a.log, "w").close()
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    import os
    os.rename(a.port_file + ".tmp", a.port_file)
    try:
        server.serve_forever()
    finally:
        server.stop.set()


if __name__ == "__main__":
    main()
