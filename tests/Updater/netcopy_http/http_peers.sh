#!/usr/bin/env bash
# Starts the peers of the transfer tests on 127.0.0.1 -- lighttpd with Basic
# authentication under /private/, and our fault-injecting server -- runs the
# test command given as arguments, then stops both. The test learns the ports
# and the work folder from NC_HTTP_PORT, NC_FAULT_PORT and NC_WORK.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3
work=$(mktemp -d /tmp/netcopy-http.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www/public" "$work/www/private" "$work/out" "$work/uploads"
"$py" - "$work/www" <<'PY'
import os, sys
root = sys.argv[1]
files = {"public/big.bin": 300000, "public/setup.exe": 20000, "public/empty.bin": 0, "private/secret.bin": 10000}
for name, size in files.items():
    with open(os.path.join(root, name), "wb") as f:
        f.write(os.urandom(size))
PY
# The plain user file compares bytes: the second user is UTF-8.
printf 'nc-user:s3cret\nj\xc3\xbcrgen:p\xc3\xa4ssword\n' > "$work/users"

listening() { "$py" -c 'import socket,sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1).close()' "$1" 2>/dev/null; }

"$py" "$here/fault_server.py" --port-file "$work/fault.port" --log "$work/fault.log" --upload-dir "$work/uploads" &
pids+=($!)

# lighttpd needs its port in the config: take a free one, and another if it
# was taken before lighttpd could bind it.
http_port=
for _ in 1 2 3 4 5; do
  port=$("$py" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  cat > "$work/lighttpd.conf" <<CONF
server.document-root = "$work/www"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$work/lighttpd.log"
server.modules = ("mod_auth", "mod_authn_file")
auth.backend = "plain"
auth.backend.plain.userfile = "$work/users"
auth.require = ("/private/" => ("method" => "basic", "realm" => "NetCopy", "require" => "valid-user"))
mimetype.assign = ("" => "application/octet-stream")
CONF
  lighttpd -D -f "$work/lighttpd.conf" &
  pid=$!
  for _ in $(seq 1 100); do
    if listening "$port"; then http_port=$port; break; fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -n "$http_port" ]; then pids+=("$pid"); break; fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
for _ in $(seq 1 200); do
  [ -s "$work/fault.port" ] && break
  sleep 0.05
done
if [ -z "$http_port" ] || [ ! -s "$work/fault.port" ]; then
  echo "http_peers.sh: the peers did not start" >&2
  cat "$work/lighttpd.log" >&2 2>/dev/null || true
  exit 1
fi

export NC_HTTP_PORT=$http_port NC_FAULT_PORT=$(cat "$work/fault.port") NC_WORK=$work
unset http_proxy https_proxy no_proxy HTTP_PROXY HTTPS_PROXY NO_PROXY all_proxy ALL_PROXY
set +e
"$@"
status=$?
set -e
exit $status
