#!/usr/bin/env bash
# Fails when a program imports a DLL that is not part of Windows.
set -euo pipefail
system='^(advapi32|comctl32|comdlg32|gdi32|gdiplus|glu32|imm32|iphlpapi|kernel32|mpr|msimg32|msvcrt|mswsock|ole32|oleaut32|olepro32|opengl32|psapi|riched20|shell32|shlwapi|user32|uxtheme|dwmapi|version|wininet|winmm|winspool\.drv|ws2_32|wsock32|crypt32|dbghelp|secur32|wintrust)\.dll$'
status=0
for exe in "$@"; do
  while read -r dll; do
    if ! [[ "${dll,,}" =~ $system ]]; then
      echo "$(basename "$exe") imports $dll, which is not part of Windows"
      status=1
    fi
  done < <(objdump -p "$exe" | awk '/DLL Name:/ {print $3}')
done
[ $status = 0 ] && echo "imports: only system DLLs"
exit $status
