"""Test peers of the HTTP client: two HTTP servers and one HTTPS server on
127.0.0.1 that parse what they receive with werkzeug's form parser and echo
it back on one line, plus pages that redirect, refresh, loop and ask for
credentials. Writes the chosen ports to <work>/ports and serves until killed.
"""
import base64
import socket
import sys
import threading

from werkzeug.serving import make_server
from werkzeug.wrappers import Request, Response


class LatinRequest(Request):
    # The client sends 8-bit text; latin-1 maps every byte to one character.
    charset = "latin-1"


def esc(value):
    data = value.encode("latin-1") if isinstance(value, str) else value
    return "".join(chr(b) if chr(b).isascii() and chr(b).isalnum() else "%%%02X" % b for b in data)


counts = {}
counts_lock = threading.Lock()

AUTH_USER = "joe@corp/x"
AUTH_PASSWORD = "p:ss@w/rd"


def make_app(name):
    def app(environ, start_response):
        request = LatinRequest(environ)
        # Read the whole request first: a server that closes with a body
        # unread resets the connection, and the client may lose the answer.
        request.form
        request.get_data()
        path = request.path
        with counts_lock:
            counts[path] = counts.get(path, 0) + 1
        to = request.args.get("to", "")

        if path == "/redirect302":
            response = Response("moved", status=302, headers={"Location": to})
        elif path == "/redirect303":
            response = Response("see other", status=303, headers={"Location": to})
        elif path == "/refresh":
            response = Response("refreshing", headers={"Refresh": "0; url=" + to})
        elif path == "/loop":
            response = Response("again", status=302, headers={"Location": "/loop"})
        elif path == "/refreshloop":
            response = Response("again", headers={"Refresh": "0; URL=refreshloop"})
        elif path == "/count":
            with counts_lock:
                response = Response("count:%d" % counts.get(request.args.get("path", ""), 0))
        elif path == "/nolength":
            response = Response((b"z" * 1000 for _ in range(10)), direct_passthrough=True)
        elif path == "/missing":
            response = Response("no such page", status=404)
        elif path == "/controls":
            response = Response(b"a\r\nb\tc\x00d\x1fe")
        elif path.startswith("/auth/") and request.authorization is None:
            response = Response("login", status=401, headers={"WWW-Authenticate": 'Basic realm="peer"'})
        elif path.startswith("/auth/") and (request.authorization.username, request.authorization.password) != (
                AUTH_USER, AUTH_PASSWORD):
            response = Response("wrong", status=403)
        else:
            tokens = ["server:" + name, "method:" + request.method, "path:" + esc(path)]
            tokens += ["arg:%s=%s" % (esc(k), esc(v)) for k, v in request.args.items(multi=True)]
            tokens += ["form:%s=%s" % (esc(k), esc(v)) for k, v in request.form.items(multi=True)]
            for field, storage in request.files.items(multi=True):
                tokens.append("file:%s=%s=%s" % (esc(field), esc(storage.filename or ""), esc(storage.read())))
            if request.authorization is not None:
                tokens.append("auth:%s=%s" % (esc(request.authorization.username),
                                             esc(request.authorization.password)))
            if "Via" in request.headers:
                tokens.append("via")
            if "Proxy-Authorization" in request.headers:
                tokens.append("proxyauth")
            tokens.append("ctype:" + esc(request.mimetype))
            response = Response(" ".join(tokens))
        return response(environ, start_response)

    return app


def main():
    work = sys.argv[1]
    servers = {
        "HTTP_A": make_server("127.0.0.1", 0, make_app("A"), threaded=True),
        "HTTP_B": make_server("127.0.0.1", 0, make_app("B"), threaded=True),
        "HTTPS": make_server("127.0.0.1", 0, make_app("S"), threaded=True,
                             ssl_context=(work + "/cert.pem", work + "/key.pem")),
    }
    for server in servers.values():
        threading.Thread(target=server.serve_forever, daemon=True).start()
    # Bound but never listening: connections are refused, and no other
    # program can take the port while the tests run.
    closed = socket.socket()
    closed.bind(("127.0.0.1", 0))
    with open(work + "/ports.tmp", "w") as out:
        for key, server in servers.items():
            out.write("KYN_%s_PORT=%d\n" % (key, server.server_address[1]))
        out.write("KYN_CLOSED_PORT=%d\n" % closed.getsockname()[1])
    import os
    os.rename(work + "/ports.tmp", work + "/ports")
    threading.Event().wait()


if __name__ == "__main__":
    main()
