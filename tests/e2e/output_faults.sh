# Shared by the end-to-end scripts that make a program's outputs fail
# through tests/output_faults.cpp. Sourced (`.`) with $bin set to the
# program and $faults to the built library.
#   with_fault FAULT PATH COMMAND...   runs COMMAND with FAULT (close, fsync
#   or write, which lets $fault_bytes through, 0 when unset) on the files
#   under PATH, which must be absolute and free of symbolic links.

# A program built with AddressSanitizer needs its runtime loaded first.
fault_preload=$(ldd "$bin" 2>/dev/null | sed -n 's/.*=> \(\/[^ ]*libasan\.so[^ ]*\).*/\1/p')
fault_preload="${fault_preload:+$fault_preload }$faults"

with_fault() {
    fault_kind=$1
    fault_path=$2
    shift 2
    timeout 60 env LD_PRELOAD="$fault_preload" VANTREL_FAULT="$fault_kind" VANTREL_FAULT_PATH="$fault_path" \
        VANTREL_FAULT_BYTES="${fault_bytes:-0}" "$@"
}
