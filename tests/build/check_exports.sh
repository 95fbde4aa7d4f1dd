#!/usr/bin/env bash
# Every program exports the crash-report library's entry points by name and
# ordinal, as other copies of the library in the process look them up.
set -euo pipefail
expected="1 DrevnikLog_LastDelphiException
2 DrevnikLog_CallCreateThread
3 DrevnikLog_CallResumeThread
4 DrevnikLog_CallExitThread
5 DrevnikLog_CallExceptObject
6 DrevnikLog_CallGeneralRaise
7 ExceptionManager
8 DrevnikLog_PasswordRequestEvent
9 DrevnikLog_PasswordRequestEventEx
10 DrevnikLog_ExceptionNotifyEvent
11 DrevnikLog_HandledExceptionNotifyEvent
12 DrevnikLog_ExceptionActionNotifyEvent
13 DrevnikLog_ExceptionErrorNotifyEvent
14 DrevnikLog_CustomDataRequestEventEx
15 DrevnikLog_AttachedFilesRequestEvent
16 DrevnikLog_CustomWebFieldsRequestEvent
17 DrevnikLog_CustomButtonClickEvent"
objdump=$(command -v x86_64-w64-mingw32-objdump || command -v objdump)
status=0
for program in "$@"; do
  # objdump lists each export as [index] name; the ordinal is index + base.
  actual=$("$objdump" -p "$program" | awk '
    /Ordinal Base/ { base = $NF }
    /^\[Ordinal\/Name Pointer\] Table/ { table = 1; next }
    table && /^\t\[ *[0-9]+\] / { sub(/^\t\[ */, ""); split($0, f, "] "); print f[1] + base, f[2]; next }
    table { table = 0 }' | sort -n)
  if [ "$actual" != "$expected" ]; then
    echo "$(basename "$program"): exports differ" >&2
    diff <(echo "$expected") <(echo "$actual") >&2 || true
    status=1
  fi
done
exit $status
