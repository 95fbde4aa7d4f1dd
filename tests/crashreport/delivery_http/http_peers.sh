#!/usr/bin/env bash
# Starts the HTTP client's peers on 127.0.0.1 (two HTTP servers and an HTTPS
# server with a fresh self-signed certificate, a port that refuses, and
# tinyproxy asking for a login), runs the test command given as arguments,
# then stops them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
peer=
proxy=
cleanup() {
  [ -n "$proxy" ] && kill "$proxy" 2>/dev/null || true
  [ -n "$peer" ] && kill "$peer" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=127.0.0.1" \
  -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1

/usr/bin/python3 "$here/http_peer.py" "$work" >"$work/peer.log" 2>&1 &
peer=$!

free_port() {
  /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
proxy_port=$(free_port)
chmod 777 "$work"
cat >"$work/tinyproxy.conf" <<CONF
Port $proxy_port
Listen 127.0.0.1
Allow 127.0.0.1
Timeout 60
MaxClients 20
LogLevel Error
LogFile "$work/tinyproxy.log"
BasicAuth proxyjoe pr0xyPw
CONF
tinyproxy -d -c "$work/tinyproxy.conf" >"$work/proxy.out" 2>&1 &
proxy=$!

# Both peers get a generous deadline to come up.
for _ in $(seq 1 200); do
  if [ -f "$work/ports" ] && (exec 3<>"/dev/tcp/127.0.0.1/$proxy_port") 2>/dev/null; then
    break
  fi
  sleep 0.1
done
if [ ! -f "$work/ports" ]; then
  echo "HTTP peers did not start:" >&2
  cat "$work/peer.log" >&2
  exit 1
fi
# A tinyproxy that lost its port to another program has ended.
if ! kill -0 "$proxy" 2>/dev/null || ! (exec 3<>"/dev/tcp/127.0.0.1/$proxy_port") 2>/dev/null; then
  echo "tinyproxy did not start:" >&2
  cat "$work/proxy.out" "$work/tinyproxy.log" >&2 2>/dev/null || true
  exit 1
fi

set -a
# shellcheck disable=SC1091
. "$work/ports"
KYN_PROXY_PORT=$proxy_port
set +a
status=0
"$@" || status=$?
exit $status
