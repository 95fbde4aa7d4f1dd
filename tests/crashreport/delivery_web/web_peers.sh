#!/usr/bin/env bash
# Starts the web channels' peers on 127.0.0.1 (upload page over HTTP and
# HTTPS with a fresh self-signed certificate, FTP, the bug-tracker
# stand-ins), runs the test command given as arguments, then stops them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
peer=
cleanup() {
  [ -n "$peer" ] && kill "$peer" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
  -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1

/usr/bin/python3 "$here/web_peers.py" "$work" >"$work/peer.log" 2>&1 &
peer=$!
for _ in $(seq 1 200); do
  [ -f "$work/ports" ] && break
  sleep 0.1
done
if [ ! -f "$work/ports" ]; then
  echo "web peers did not start:" >&2
  cat "$work/peer.log" >&2
  exit 1
fi
set -a
# shellcheck disable=SC1091
. "$work/ports"
set +a
status=0
"$@" || status=$?
exit $status
