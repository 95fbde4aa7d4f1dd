#!/usr/bin/python3
"""Prints how Python's urllib.parse reads each URL of the file given, one line
per URL: "ok", scheme, user, password, host, port (0 when none) and the path
with its query (without the first '/' and a final '/'), separated by tabs; or
"error" when Python refuses the URL."""
import sys
from urllib.parse import urlsplit

for url in open(sys.argv[1], encoding="latin-1").read().split("\n")[:-1]:
    try:
        p = urlsplit(url)
        port = p.port or 0
    except ValueError:
        print("error")
        continue
    path = p.path[1:] if p.path.startswith("/") else p.path
    if p.query:
        path += "?" + p.query
    if path.endswith("/"):
        path = path[:-1]
    print("\t".join(["ok", p.scheme, p.username or "", p.password or "", p.hostname or "", str(port), path]))
