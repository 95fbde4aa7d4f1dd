"""An FTP server for the transfer tests, on pyftpdlib, on 127.0.0.1 only.

Users:
  anonymous            read-only, home <root>/pub
  nc-user / s3cret     full rights, home <root>/home
  reader / readonly    read-only, home <root>/home
A file whose name contains "drop" loses its data connection after 5000
bytes (a download sends 5000 bytes, an upload takes 5000 bytes), and the
server answers 426.
Every command is appended to the log file as one line (PASS arguments
included, so that tests can see what reached the server).
"""
import argparse
import logging
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

DROP_AFTER = 5000


class DroppingDTPHandler(DTPHandler):
    def _dropping(self):
        f = self.file_obj
        return f is not None and "drop" in os.path.basename(getattr(f, "name", ""))

    def _drop(self):
        self._resp = ("426 Connection closed; transfer aborted.", lambda *a: None)
        self.close()

    def send(self, data):
        if self._dropping():
            left = DROP_AFTER - self.tot_bytes_sent
            if left <= 0:
                self._drop()
                return 0
            data = data[:left]
        return super().send(data)

    def handle_read(self):
        super().handle_read()
        if self._dropping() and self.tot_bytes_received >= DROP_AFTER:
            self._drop()

    handle_read_event = handle_read


class LoggingHandler(FTPHandler):
    dtp_handler = DroppingDTPHandler
    use_sendfile = False
    permit_foreign_addresses = False

    def pre_process_command(self, line, cmd, arg):
        with open(self.server.log_path, "a", encoding="utf-8") as log:
            log.write(line + "\n")
        return super().pre_process_command(line, cmd, arg)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--root", required=True)
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--log", required=True)
    a = ap.parse_args()
    logging.basicConfig(level=logging.WARNING)
    pub = os.path.join(a.root, "pub")
    home = os.path.join(a.root, "home")
    auth = DummyAuthorizer()
    auth.add_anonymous(pub)
    auth.add_user("nc-user", "s3cret", home, perm="elradfmwMT")
    auth.add_user("reader", "readonly", home, perm="elr")
    LoggingHandler.authorizer = auth
    LoggingHandler.banner = "NetCopy test server"
    server = FTPServer(("127.0.0.1", 0), LoggingHandler)
    server.log_path = a.log
    open(a.log, "w").close()
    with open(a.port_file + ".tmp", "w") as f:
        f.write(str(server.address[1]))
    os.rename(a.port_file + ".tmp", a.port_file)
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    main()
