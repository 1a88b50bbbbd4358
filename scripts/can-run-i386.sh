#!/bin/sh
# Exits 0 when this machine runs 32-bit x86 Linux programs, 1 when it does not
# (a 64-bit kernel built without 32-bit support, or started with it turned
# off, or a machine that is not x86). Wine needs them to run a 32-bit Windows
# program. Finds out by running a 96-byte program that only exits with status
# 42, written here byte by byte: no 32-bit compiler or library is needed.
set -eu

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

{
    # ELF header: 32-bit, little-endian, an executable for the 80386, entry point
    # 0x08048054, one program header right after this header.
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000'
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'
    # Program header: load the whole 96-byte file, readable and executable, at
    # 0x08048000.
    printf '\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'
    printf '\140\000\000\000\140\000\000\000\005\000\000\000\000\020\000\000'
    # Code: mov eax, 1 (exit); mov ebx, 42; int 0x80.
    printf '\270\001\000\000\000\273\052\000\000\000\315\200'
} > "$dir/exit42"
chmod +x "$dir/exit42"

status=0
"$dir/exit42" 2>/dev/null || status=$?
[ "$status" -eq 42 ]
