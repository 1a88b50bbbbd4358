#include "terminal/grid_output.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

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
        const ssize_t w = ::write(fd, bytes, n);
        if (w > 0) {
            bytes += w;
            n -= static_cast<std::size_t>(w);
        } else if (w == 0) {
            failure = std::make_error_code(std::errc::io_error);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, -1) < 0 && errno != EINTR) failure = {errno, std::system_category()};
        } else if (errno != EINTR) {
            failure = {errno, std::system_category()};
        }
    }
}

}  // namespace vantrel
