// Failure injection for the end-to-end tests, loaded with LD_PRELOAD: makes
// system calls fail on files under a chosen path as a full or failing disk,
// or a pipe that can be read only once, would, on any machine and without
// privileges. An unknown fault stops the program, so that a check cannot
// pass for want of its fault.
//
//   VANTREL_FAULT_PATH   the files affected: those whose full path starts
//                        with this (typically a directory and its '/')
//   VANTREL_FAULT        close: close() releases the file but returns EIO
//                        fsync: fsync() returns EIO
//                        write: write() stores at most VANTREL_FAULT_BYTES
//                        bytes (0 by default) into the affected files
//                        altogether, then returns ENOSPC
//                        reopen: a file opens once, as a pipe is read once;
//                        open() and fopen() fail with ENXIO after that
//
// Under AddressSanitizer its runtime must come first in LD_PRELOAD, this
// library after it; the sanitizer's own wrappers then call these.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum class Fault { none, close, fsync, write, reopen };

struct Settings {
    Fault fault = Fault::none;
    const char* path = nullptr;
    std::size_t pathLength = 0;
    long long bytes = 0;  // what a write fault lets through
};

const Settings& settings() {
    static const Settings chosen = [] {
        Settings s;
        const char* fault = std::getenv("VANTREL_FAULT");
        const char* path = std::getenv("VANTREL_FAULT_PATH");
        if (fault == nullptr || path == nullptr || *path == '\0') return s;
        s.fault = std::strcmp(fault, "close") == 0   ? Fault::close
                  : std::strcmp(fault, "fsync") == 0 ? Fault::fsync
                  : std::strcmp(fault, "write") == 0  ? Fault::write
                  : std::strcmp(fault, "reopen") == 0 ? Fault::reopen
                                                      : Fault::none;
        if (s.fault == Fault::none) {
            std::fprintf(stderr, "output_faults: unknown VANTREL_FAULT '%s'\n", fault);
            std::abort();
        }
        s.path = path;
        s.pathLength = std::strlen(path);
        if (const char* bytes = std::getenv("VANTREL_FAULT_BYTES")) s.bytes = std::atoll(bytes);
        return s;
    }();
    return chosen;
}

// Whether `fd` is open on a file under the chosen path.
bool affected(int fd, Fault fault) {
    const Settings& s = settings();
    if (s.fault != fault) return false;
    char link[64];
    char target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t length = ::readlink(link, target, sizeof target - 1);
    return length >= 0 && static_cast<std::size_t>(length) >= s.pathLength &&
           std::memcmp(target, s.path, s.pathLength) == 0;
}

// Whether `path`, as named, lies under the chosen path and was opened
// before. Relative names are taken from the working directory.
bool openedBefore(const char* path) {
    static std::atomic<int> opens{0};
    const Settings& s = settings();
    if (s.fault != Fault::reopen || path == nullptr) return false;
    char full[8192] = "";
    std::size_t used = 0;
    if (path[0] != '/') {
        if (::getcwd(full, 4096) == nullptr) return false;
        used = std::strlen(full);
        full[used++] = '/';
    }
    const std::size_t length = std::strlen(path);
    if (used + length >= sizeof full) return false;
    std::memcpy(full + used, path, length + 1);
    if (std::strncmp(full, s.path, s.pathLength) != 0) return false;
    return opens++ > 0;
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

std::atomic<long long> written{0};

}  // namespace

extern "C" {

int close(int fd) {
    static const auto real = next<int (*)(int)>("close");
    const bool fails = affected(fd, Fault::close);
    const int result = real(fd);
    if (!fails || result != 0) return result;
    errno = EIO;  // as Linux does, the descriptor is released all the same
    return -1;
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    if (affected(fd, Fault::fsync)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

ssize_t write(int fd, const void* bytes, size_t size) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    if (size == 0 || !affected(fd, Fault::write)) return real(fd, bytes, size);
    const long long room = settings().bytes - written.load();
    if (room <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const ssize_t result = real(fd, bytes, size < static_cast<size_t>(room) ? size : static_cast<size_t>(room));
    if (result > 0) written += result;
    return result;
}

int open(const char* path, int flags, ...) {
    static const auto real = next<int (*)(const char*, int, ...)>("open");
    va_list more;
    va_start(more, flags);
    const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(more, mode_t) : 0;
    va_end(more);
    if (openedBefore(path)) {
        errno = ENXIO;
        return -1;
    }
    return real(path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
    static const auto real = next<FILE* (*)(const char*, const char*)>("fopen");
    if (openedBefore(path)) {
        errno = ENXIO;
        return nullptr;
    }
    return real(path, mode);
}

}  // extern "C"
