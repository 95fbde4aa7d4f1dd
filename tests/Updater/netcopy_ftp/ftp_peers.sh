#!/usr/bin/env bash
# Starts the FTP server of the transfer tests on 127.0.0.1 (ftp_server.py on
# pyftpdlib), runs the test command given as arguments, then stops it. The
# test learns the port and the work folder from NC_FTP_PORT and NC_WORK; the
# server's files are under $NC_WORK/root (pub/ for anonymous users, home/ for
# the others), its command log is $NC_WORK/ftp.log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3
work=$(mktemp -d /tmp/netcopy-ftp.XXXXXX)
pid=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/root/pub" "$work/root/home" "$work/out"
"$py" "$here/ftp_server.py" --root "$work/root" --port-file "$work/ftp.port" --log "$work/ftp.log" \
  >"$work/ftp.out" 2>&1 &
pid=$!
for _ in $(seq 1 200); do
  [ -s "$work/ftp.port" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$work/ftp.port" ]; then
  echo "ftp_peers.sh: the FTP server did not start" >&2
  cat "$work/ftp.out" >&2
  exit 1
fi

export NC_FTP_PORT=$(cat "$work/ftp.port") NC_WORK=$work
unset http_proxy https_proxy ftp_proxy no_proxy HTTP_PROXY HTTPS_PROXY FTP_PROXY NO_PROXY all_proxy ALL_PROXY
set +e
"$@"
status=$?
set -e
exit $status
