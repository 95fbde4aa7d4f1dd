#!/usr/bin/env bash
# Serves the CGI test program through lighttpd's CGI module on 127.0.0.1,
# the program running under Wine, and checks the answers with Python's HTTP
# client (web_cgi_check.py).
#   web_cgi.sh WINE_RUN PROGRAM.exe
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_run=$1
program=$2
work=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/docs"
cp "$program" "$work/docs/fault.exe"
# lighttpd gives a CGI program only the request's variables: the runner
# carries what Wine needs.
{
  echo '#!/usr/bin/env bash'
  for v in PATH HOME DISPLAY WINEPREFIX KYN_PRIVATE_X KYN_XVFB_DISPLAY KYN_WINEPREFIX; do
    [ -n "${!v:-}" ] && printf 'export %s=%q\n' "$v" "${!v}"
  done
  printf 'exec %q "$1"\n' "$wine_run"
} >"$work/run-cgi.sh"
chmod +x "$work/run-cgi.sh"
port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$work/lighttpd.conf" <<CONF
server.document-root = "$work/docs"
server.bind = "127.0.0.1"
server.port = $port
server.errorlog = "$work/error.log"
server.modules = ("mod_cgi")
cgi.assign = (".exe" => "$work/run-cgi.sh")
CONF
lighttpd -D -f "$work/lighttpd.conf" &
server=$!
for _ in $(seq 1 50); do
  /usr/bin/python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 1)" 2>/dev/null && break
  sleep 0.1
done
if ! /usr/bin/python3 "$here/web_cgi_check.py" "$port"; then
  cat "$work/error.log" >&2 || true
  exit 1
fi
