#!/bin/bash
# Checks that a Windows build is a PE console program for the expected
# machine that imports only the system's DLLs.
#
#   tests/windows/check_pe.sh EXE i386|x86-64
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 EXE i386|x86-64" >&2
    exit 2
fi
exe=$1
machine=$2
case "$machine" in
    i386) format="pei-i386" ;;
    x86-64) format="pei-x86-64" ;;
    *) echo "$0: unknown machine '$machine'" >&2; exit 2 ;;
esac

headers=$(objdump -p "$exe")
fail=0
if ! grep -q "file format $format\$" <<<"$headers"; then
    echo "FAIL: $exe is not $format"
    fail=1
fi
if ! grep -q "Subsystem.*(Windows CUI)" <<<"$headers"; then
    echo "FAIL: $exe is not a console (CUI) program"
    fail=1
fi
dlls=$(grep "DLL Name:" <<<"$headers" | awk '{print $3}' | tr 'a-z' 'A-Z' | sort)
for dll in $dlls; do
    case "$dll" in
        KERNEL32.DLL | USER32.DLL | MSVCRT.DLL) ;;
        *) echo "FAIL: $exe imports $dll, which is not a system DLL"; fail=1 ;;
    esac
done
if [ "$fail" = 0 ]; then
    echo "$exe: $format console program importing" $dlls
fi
exit "$fail"
