#!/usr/bin/env bash
# Runs the test command given as arguments with KYN_ZIP_WORK set to a fresh
# folder; the tests leave archives there with a list of what each must hold
# (zips.txt lines: archive, password or "-", then entry=source pairs in
# order). Every archive must then pass unzip's test, refuse a wrong password
# when it has one, and hold exactly those entries with the sources' bytes.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KYN_ZIP_WORK="$work"
"$@"
[ -f "$work/zips.txt" ] || exit 0
status=0
while read -r zip password pairs; do
  opts=()
  [ "$password" != - ] && opts=(-P "$password")
  if ! unzip -tq "${opts[@]}" "$work/$zip" </dev/null >"$work/unzip.log" 2>&1; then
    echo "unzip -t failed on $zip:" >&2; cat "$work/unzip.log" >&2; status=1; continue
  fi
  if [ "$password" != - ] && unzip -tq -P wrong "$work/$zip" </dev/null >/dev/null 2>&1; then
    echo "$zip opens with a wrong password" >&2; status=1
  fi
  /usr/bin/python3 - "$work" "$zip" "$password" $pairs <<'PY' || status=1
import sys, zipfile
work, name, password, pairs = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
with zipfile.ZipFile(f"{work}/{name}") as z:
    infos = z.infolist()
    got = [i.filename for i in infos]
    want = [p.split("=", 1)[0] for p in pairs]
    if got != want:
        sys.exit(f"{name}: entries {got}, expected {want}")
    for info, pair in zip(infos, pairs):
        source = pair.split("=", 1)[1]
        if info.compress_type != zipfile.ZIP_DEFLATED:
            sys.exit(f"{name}: {info.filename} is not deflated")
        if bool(info.flag_bits & 1) != (password != "-"):
            sys.exit(f"{name}: {info.filename} encryption flag is wrong")
        data = z.read(info, pwd=None if password == "-" else password.encode())
        if data != open(f"{work}/{source}", "rb").read():
            sys.exit(f"{name}: {info.filename} differs from {source}")
PY
done < <(tr -d "\r" <"$work/zips.txt")
[ "$status" = 0 ] && echo "archives checked with unzip and zipfile"
exit "$status"
