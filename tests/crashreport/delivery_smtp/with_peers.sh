#!/usr/bin/env bash
# Starts the socket tests' peers (peers.py) on 127.0.0.1, runs the test command
# given as arguments with their ports in the environment, then stops them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
mkdir "$work/spool"
/usr/bin/python3 "$here/peers.py" "$work/ports" "$work/spool" >"$work/peers.log" 2>&1 &
peer=$!
trap 'kill "$peer" 2>/dev/null || true; wait "$peer" 2>/dev/null || true; rm -rf "$work"' EXIT

for _ in $(seq 1 300); do
  [ -f "$work/ports.ready" ] && break
  if ! kill -0 "$peer" 2>/dev/null; then
    echo "test peers failed to start:" >&2
    cat "$work/peers.log" >&2
    exit 1
  fi
  sleep 0.1
done
[ -f "$work/ports.ready" ] || { echo "test peers did not start in time" >&2; exit 1; }

set -a
# shellcheck disable=SC1091
. "$work/ports"
set +a
export KYN_SMTP_SPOOL="$work/spool"

rc=0
"$@" || rc=$?
if [ "$rc" != 0 ]; then
  echo "--- peers' output:" >&2
  cat "$work/peers.log" >&2
fi
exit "$rc"
