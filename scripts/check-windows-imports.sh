#!/usr/bin/env bash
# Fails unless the Windows executable imports only Windows' own DLLs: one
# file a user unpacks and starts, nothing to install beside it.
#
#   scripts/check-windows-imports.sh PROGRAM.exe
set -euo pipefail
program=$1
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|advapi32|msvcrt)\.dll$'
imports="$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p')"
others="$(tr 'A-Z' 'a-z' <<<"$imports" | grep -Ev "$allowed" || true)"
if [[ -n $others ]]; then
  echo "$program imports DLLs that are not Windows' own: $others" >&2
  exit 1
fi
echo "$program imports only $(tr '\n' ' ' <<<"$imports")"
