#!/usr/bin/env python3
"""Times whole programs side by side: the commands run in turn, N rounds,
each from spawning to reaping, with standard output and error to /dev/null.
Prints the median wall time and CPU time (user + system) of each, and the
load average, since other work on the machine shows in both.

    scripts/side-by-side.py N 'COMMAND ARGS...' 'COMMAND ARGS...' ...

Run it under `taskset -c CPU` to keep every command on one core.
"""
import os
import shlex
import shutil
import statistics
import sys
import time


def main():
    if len(sys.argv) < 3 or not sys.argv[1].isdigit():
        sys.exit("usage: side-by-side.py N 'COMMAND ARGS...' ...")
    rounds = int(sys.argv[1])
    commands = sys.argv[2:]
    quiet = [(os.POSIX_SPAWN_OPEN, fd, os.devnull, os.O_WRONLY, 0) for fd in (1, 2)]
    argvs = {}
    for command in commands:
        argv = shlex.split(command)
        path = shutil.which(argv[0])
        if path is None:
            sys.exit(f"side-by-side.py: cannot find {argv[0]}")
        argvs[command] = (path, argv)

    def run(command):
        path, argv = argvs[command]
        start = time.perf_counter()
        pid = os.posix_spawn(path, argv, os.environ, file_actions=quiet)
        _, status, usage = os.wait4(pid, 0)
        wall = (time.perf_counter() - start) * 1000
        if status != 0:
            print(f"status {os.waitstatus_to_exitcode(status)}: {command}", file=sys.stderr)
        return wall, (usage.ru_utime + usage.ru_stime) * 1000

    for command in commands:
        run(command)  # files into the page cache first
    load = open("/proc/loadavg").read().split()[:3]
    wall = {command: [] for command in commands}
    cpu = {command: [] for command in commands}
    for _ in range(rounds):
        for command in commands:
            w, c = run(command)
            wall[command].append(w)
            cpu[command].append(c)
    print("load average before:", *load, " after:", *open("/proc/loadavg").read().split()[:3])
    for command in commands:
        print(f"{statistics.median(wall[command]):7.1f} ms wall (least {min(wall[command]):.1f}), "
              f"{statistics.median(cpu[command]):7.1f} ms CPU, medians of {rounds}: {command}")


main()
