#!/bin/sh
# End to end: what lines-capture does with the files it is given.
# Usage: lines_capture_files.sh LINES-CAPTURE CHECK OUTPUT-FAULTS.so    (exit 77: skipped)
#   outputs    devices, FIFOs, links, one file under two names, long names, '-'
#   input      /dev/zero, /dev/urandom, terminal escapes and overlong lines
#   faults     a full disk, a failing sync and a failing close, injected
#   signals    SIGTERM, SIGHUP and SIGINT in the middle of a run
set -u
[ -n "${DEBUG:-}" ] && set -x
bin="$1"
faults="${3:-}"
here=$(cd "$(dirname "$0")" && pwd)
dir=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
cd "$dir" || exit 1
dir=$(pwd -P)

fail() {
    echo "FAIL: $*"
    exit 1
}
# run EXPECTED-STATUS ARGS...: runs lines-capture; its stderr is in err.
run() {
    expected=$1
    shift
    "$bin" "$@" >out 2>err
    status=$?
    [ "$status" = "$expected" ] || fail "'$*' exited $status, not $expected: $(cat err)"
    [ "$expected" = 0 ] || [ "$(wc -l <err)" = 1 ] || fail "'$*' did not say one line: $(cat err)"
}
is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; }
no_leftovers() { [ -z "$(ls -A "${1:-.}" | grep '^\.tmp-')" ] || fail "temporary files left: $(ls -A "${1:-.}")"; }

case "$2" in
outputs)
    # A device node as root; a link to /dev/null otherwise, which only root could replace.
    if mknod node c 1 3 2>/dev/null || { [ "$(id -u)" != 0 ] && ln -s /dev/null node; }; then
        run 2 --png node
        [ -c node ] && grep -q "'node' is a character device" err || fail "device: $(cat err)"
    else
        echo "(no device check: cannot make a device node)"
    fi
    mkfifo fifo
    run 2 --cells fifo
    [ -p fifo ] && grep -q "is a FIFO" err || fail "FIFO: $(cat err)"
    ln -s missing dangling
    run 2 --png dangling
    [ ! -e missing ] || fail "a dangling link was written through"

    echo old >target.png && chmod 640 target.png && ln -s target.png link.png
    run 0 --png link.png
    [ -L link.png ] && is_png target.png || fail "the link or its target is wrong"
    [ "$(stat -c %a target.png)" = 640 ] || fail "the permissions of the replaced file changed"

    printf '1 500 500 L\n' >s.input
    cp s.input s.copy
    mkdir sub
    for args in "--input s.input --cells ./s.input" "--input sub/../s.input --png s.input" \
        "--png o --cells ./o" "--png o --cells sub/../o" "--png - --cells -"; do
        # shellcheck disable=SC2086
        run 2 $args
        grep -q "same file\|both name" err || fail "'$args': $(cat err)"
    done
    cmp -s s.input s.copy && [ ! -e o ] || fail "a refused output was written"

    long=$(printf '%0255d' 0)  # 255 bytes, the most a name may have
    cells=$(printf '%0244d.cells' 0)
    run 0 --png "$long" --cells "$cells"
    is_png "$long" && [ "$(wc -c <"$cells")" = 8000 ] || fail "long names"
    "$bin" --png - | cmp -s - "$long" || fail "--png - differs from the file"
    [ "$("$bin" --frames 3 --cells - | wc -c)" = 24000 ] || fail "--cells -"
    no_leftovers
    ;;
input)
    for source in /dev/zero /dev/urandom; do
        timeout 3 "$bin" --input "$source" 2>err
        [ $? = 2 ] && grep -q "line [0-9]*:" err || fail "$source: $(cat err)"
    done
    printf '1 2 3 L\n2 \033]0;owned\007 3 R\n' >escape.input
    run 2 --input escape.input
    grep -q "line 2: .*'\\\\x1b]0;owned\\\\x07'" err && ! grep -q "$(printf '\033')" err || fail "escape: $(cat err)"
    head -c 5000000 /dev/zero | tr '\0' 7 >long.input
    run 2 --input long.input
    [ "$(wc -c <err)" -lt 200 ] && grep -q "line 1: longer than 4096 bytes" err || fail "long line: $(cat err)"
    ;;
faults)
    [ -n "$faults" ] || { echo "SKIP: no fault library given"; exit 77; }
    . "$here/output_faults.sh"
    mkdir cells png
    # $1: the fault; $2: the folder it hits; $3: what stderr must say; $4:
    # frames to run. The run ends with status 1 and that one line, and
    # neither file is left.
    expect_fault() {
        with_fault "$1" "$dir/$2/" "$bin" --frames "$4" --cells cells/out.cells --png png/out.png >out 2>err
        status=$?
        [ $status = 1 ] && [ "$(wc -l <err)" = 1 ] || fail "$1 in $2/: status $status: $(cat err)"
        grep -q "$3" err || fail "$1 in $2/: $(cat err)"
        [ -z "$(find cells png -mindepth 1)" ] || fail "$1 in $2/ left $(find cells png -mindepth 1)"
    }
    # A disk that takes eight frames of 8000 bytes: the ninth does not fit.
    # Without the early stop the run would take hours.
    fault_bytes=65536
    expect_fault write cells "^lines-capture: cannot write 'cells/out.cells': No space left on device$" 100000000
    fault_bytes=1000
    expect_fault write png "^lines-capture: cannot write 'png/out.png': No space left on device$" 3
    expect_fault fsync cells "^lines-capture: cannot write 'cells/out.cells': Input/output error$" 3
    expect_fault close cells "^lines-capture: cannot write 'cells/out.cells': Input/output error$" 3
    expect_fault close png "^lines-capture: cannot write 'png/out.png': Input/output error$" 3
    # Through the same library, untouched files come out whole.
    with_fault close "$dir/elsewhere/" "$bin" --frames 3 --cells cells/out.cells --png png/out.png ||
        fail "a run without faults failed"
    [ "$(wc -c <cells/out.cells)" = 24000 ] && is_png png/out.png || fail "a run without faults wrote wrong files"
    ;;
signals)
    for sig in TERM:15 HUP:1 INT:2; do
        number=${sig#*:}
        sig=${sig%:*}
        # A background job starts with SIGINT ignored; env gives it back.
        env --default-signal=INT "$bin" --frames 100000000 --cells out.cells --png out.png &
        pid=$!
        n=0
        until [ -n "$(ls -A)" ]; do
            n=$((n + 1))
            [ $n -gt 50 ] && fail "no file appeared"
            sleep 0.1
        done
        kill -s "$sig" "$pid"
        wait "$pid"
        status=$?
        [ $status = $((128 + number)) ] || fail "SIG$sig: exit status $status"
        pid=""
        [ -z "$(ls -A)" ] || fail "SIG$sig left $(ls -A)"
    done
    ;;
*) fail "unknown check '$2'" ;;
esac
echo "ok: $2"
