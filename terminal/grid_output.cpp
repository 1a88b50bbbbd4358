#include "terminal/grid_output.h"

#ifdef _WIN32
#include <io.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

// write(2), and waiting until a non-blocking descriptor takes more; the C
// runtime's _write on Windows, where descriptors do not block that way.
long writeSome(int fd, const char* bytes, std::size_t n) {
#ifdef _WIN32
    return ::_write(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(n, std::size_t{1} << 30)));
#else
    return static_cast<long>(::write(fd, bytes, n));
#endif
}

int waitWritable(int fd) {
#ifdef _WIN32
    (void)fd;
    return 0;
#else
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, -1);
#endif
}

}  // namespace

void DescriptorOutput::put(const char* bytes, std::size_t n) {
    if (failure) return;
    if (n > buffer.size() - used) flush();
    if (n > buffer.size()) {
        writeAll(bytes, n);
    } else {
        std::memcpy(buffer.data() + used, bytes, n);
        used += n;
    }
}

void DescriptorOutput::flush() {
    writeAll(buffer.data(), used);
    used = 0;
}

void DescriptorOutput::writeAll(const char* bytes, std::size_t n) {
    while (n > 0 && !failure) {
        const long w = writeSome(fd, bytes, n);
        if (w > 0) {
            bytes += w;
            n -= static_cast<std::size_t>(w);
        } else if (w == 0) {
            failure = std::make_error_code(std::errc::io_error);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (waitWritable(fd) < 0 && errno != EINTR) failure = {errno, std::system_category()};
        } else if (errno != EINTR) {
            failure = {errno, std::system_category()};
        }
    }
}

}  // namespace vantrel
