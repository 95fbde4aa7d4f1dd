#!/usr/bin/env bash
# Runs the transfer benchmark: makes a file of 200 MB, serves it on 127.0.0.1
# with lighttpd (HTTP) and the tests' FTP server, takes uploads with the
# tests' HTTP server, and runs netcopy_bench under Wine.
#   bench/Updater/netcopy_bench.sh <netcopy_bench.exe> [size in MB]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1
mb=${2:-200}
py=/usr/bin/python3
work=$(mktemp -d /tmp/netcopy-bench.XXXXXX)
pids=()
cleanup() {
  local p
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/www" "$work/root/pub" "$work/root/home" "$work/uploads" "$work/out"
head -c "${mb}M" /dev/urandom >"$work/www/file.bin"
ln "$work/www/file.bin" "$work/root/pub/file.bin"

wait_file() {
  for _ in $(seq 1 200); do
    [ -s "$1" ] && return 0
    sleep 0.05
  done
  echo "netcopy_bench.sh: a server did not start" >&2
  exit 1
}

"$py" "$root/tests/Updater/netcopy_ftp/ftp_server.py" --root "$work/root" --port-file "$work/ftp.port" \
  --log /dev/null >"$work/ftp.out" 2>&1 &
pids+=($!)
"$py" "$root/tests/Updater/netcopy_http/fault_server.py" --port-file "$work/http.port" --log /dev/null \
  --upload-dir "$work/uploads" >"$work/http.out" 2>&1 &
pids+=($!)

http_port=$("$py" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/lighttpd.conf" <<CONF
server.document-root = "$work/www"
server.bind = "127.0.0.1"
server.port = $http_port
server.errorlog = "$work/lighttpd.log"
mimetype.assign = ("" => "application/octet-stream")
CONF
lighttpd -D -f "$work/lighttpd.conf" &
pids+=($!)
wait_file "$work/ftp.port"
wait_file "$work/http.port"
for _ in $(seq 1 100); do
  "$py" -c 'import socket,sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1).close()' "$http_port" \
    2>/dev/null && break
  sleep 0.05
done

win() { echo "Z:${1//\//\\}"; }
"$root/tools/wine-run" "$exe" "http://127.0.0.1:$http_port/file.bin" "$(cat "$work/ftp.port")" \
  "http://127.0.0.1:$(cat "$work/http.port")/upload" "$(win "$work/www/file.bin")" "$(win "$work/out")"
