"""An HTTP server for the transfer tests that misbehaves on demand.

Paths of GET (the same when the request comes as a proxy request with a full
URL):
  /data/<n>                n bytes (byte i is i % 251) with Content-Length
  /nolength/<n>            n bytes, no Content-Length, connection closed after
  /short/<announced>/<n>   Content-Length <announced>, only n bytes, then closed
  /longlength/<announced>/<n>
                           the same with 40 leading zeros on the length
  /badlength/<text>        Content-Length <text> and a few bytes, then closed
  /chunked/<n>/<cut>       n bytes in chunks of 4096; with <cut> "all" the body
                           ends properly, else the connection is closed after
                           <cut> bytes of data (<cut> = n: all data, no last chunk)
  /stall/<announced>/<n>   Content-Length <announced>, n bytes, then silence
  /stallheaders            the request is read and never answered
  /trickle/<n>/<step>      n bytes with Content-Length, <step> bytes every
                           100 ms; then "trickle whole" or, when the client
                           went away first, "trickle cut" is logged
  /auth401                 always 401 with a Basic challenge
  /status/<code>           that status with a short body
  /lastmod/<epoch>/<n>     n bytes with Last-Modified at that Unix time
Paths of PUT and POST:
  /upload/<name>           the body is stored as <upload dir>/<name> once it
                           is whole; 201 for PUT, 200 for POST
  /status/<code>           the body is read, then that status
Every request is appended to the log file as one line:
  request line TAB Authorization TAB Proxy-Authorization TAB Content-Length
"""
import argparse
import email.utils
import http.server
import os
import threading
import urllib.parse


def pattern(n):
    return bytes(i % 251 for i in range(n))


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass

    def record(self):
        with open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write("%s\t%s\t%s\t%s\n" % (self.requestline, self.headers.get("Authorization", ""),
                                             self.headers.get("Proxy-Authorization", ""),
                                             self.headers.get("Content-Length", "")))

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

    def parts(self):
        parts = [p for p in urllib.parse.urlsplit(self.path).path.split("/") if p]
        return (parts[0], parts[1:]) if parts else ("", [])

    def do_GET(self):
        self.record()
        kind, args = self.parts()
        if kind == "data":
            n = int(args[0])
            self.send_body(200, pattern(n), n)
        elif kind == "nolength":
            self.close_connection = True
            self.send_body(200, pattern(int(args[0])), extra=[("Connection", "close")])
        elif kind == "short":
            self.close_connection = True
            self.send_body(200, pattern(int(args[1])), int(args[0]))
        elif kind == "longlength":
            self.close_connection = True
            self.send_body(200, pattern(int(args[1])), "0" * 40 + args[0])
        elif kind == "badlength":
            self.close_connection = True
            self.send_body(200, b"abc", urllib.parse.unquote(args[0]))
        elif kind == "chunked":
            n = int(args[0])
            cut = n + 1 if args[1] == "all" else int(args[1])
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            body = pattern(n)
            for start in range(0, n, 4096):
                chunk = body[start:start + 4096]
                self.wfile.write(b"%x\r\n" % len(chunk))
                if start + len(chunk) > cut:
                    self.wfile.write(chunk[:cut - start])
                    self.wfile.flush()
                    self.close_connection = True
                    return
                self.wfile.write(chunk + b"\r\n")
            if cut <= n:
                self.wfile.flush()
                self.close_connection = True
                return
            self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()
        elif kind == "stall":
            self.send_body(200, pattern(int(args[1])), int(args[0]))
            self.server.stop.wait(120)
            self.close_connection = True
        elif kind == "trickle":
            n, step = int(args[0]), int(args[1])
            body = pattern(n)
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(n))
            self.end_headers()
            outcome = "trickle whole"
            try:
                for start in range(0, n, step):
                    self.wfile.write(body[start:start + step])
                    self.wfile.flush()
                    if self.server.stop.wait(0.1):
                        break
            except OSError:
                outcome = "trickle cut"
            with open(self.server.log_path, "a", encoding="utf-8") as log:
                log.write(outcome + "\n")
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

    def receive(self, out):
        """Reads the body into `out` (a file or None); True when it came whole."""
        left = int(self.headers.get("Content-Length", "0"))
        while left > 0:
            data = self.rfile.read(min(left, 1 << 20))
            if not data:
                return False
            if out:
                out.write(data)
            left -= len(data)
        return True

    def do_PUT(self):
        self.record()
        kind, args = self.parts()
        if kind == "upload" and args:
            path = os.path.join(self.server.upload_dir, os.path.basename(args[0]))
            with open(path + ".part", "wb") as out:
                whole = self.receive(out)
            if not whole:
                os.remove(path + ".part")
                self.close_connection = True
                return
            os.replace(path + ".part", path)
            self.send_body(201 if self.command == "PUT" else 200, b"stored", 6)
        elif kind == "status":
            if self.receive(None):
                self.send_body(int(args[0]), b"status", 6)
            else:
                self.close_connection = True
        else:
            self.receive(None)
            self.send_body(404, b"unknown", 7)

    do_POST = do_PUT


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--log", required=True)
    ap.add_argument("--upload-dir", required=True)
    a = ap.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.log_path = a.log
    server.upload_dir = a.upload_dir
    server.stop = threading.Event()
    open(a.log, "w").close()
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(a.port_file + ".tmp", a.port_file)
    try:
        server.serve_forever()
    finally:
        server.stop.set()


if __name__ == "__main__":
    main()
