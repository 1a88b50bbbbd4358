#include "tools/view/media/byte_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vantrel {

ByteReader::ByteReader(const std::uint8_t* data, std::size_t size)
    : memory_(data), seekable_(true), size_(static_cast<std::int64_t>(size)) {}

ByteReader::ByteReader(std::string file)
    : owned_(std::move(file)),
      memory_(reinterpret_cast<const std::uint8_t*>(owned_.data())),
      seekable_(true),
      size_(static_cast<std::int64_t>(owned_.size())) {}

ByteReader::ByteReader(int fd, std::string head, int cancelFd) : fd_(fd), cancelFd_(cancelFd), head_(std::move(head)) {
    struct stat file {};
    if (::fstat(fd, &file) == 0 && S_ISREG(file.st_mode)) {
        seekable_ = true;
        size_ = file.st_size;
        head_.clear();  // read again with pread
    }
}

ssize_t ByteReader::read(std::uint8_t* buffer, std::size_t capacity) {
    if (memory_ != nullptr) {
        const auto count = static_cast<std::size_t>(std::min<std::int64_t>(size_ - position_, capacity));
        std::memcpy(buffer, memory_ + position_, count);
        position_ += static_cast<std::int64_t>(count);
        return static_cast<ssize_t>(count);
    }
    if (position_ < static_cast<std::int64_t>(head_.size())) {
        const auto count = std::min(head_.size() - static_cast<std::size_t>(position_), capacity);
        std::memcpy(buffer, head_.data() + position_, count);
        position_ += static_cast<std::int64_t>(count);
        return static_cast<ssize_t>(count);
    }
    for (;;) {
        if (!seekable_ && cancelFd_ >= 0) {
            pollfd fds[2] = {{fd_, POLLIN, 0}, {cancelFd_, POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                return -1;
            }
            if (fds[1].revents != 0) {
                errno = ECANCELED;
                return -1;
            }
        }
        const ssize_t got = seekable_ ? ::pread(fd_, buffer, capacity, position_) : ::read(fd_, buffer, capacity);
        if (got < 0 && errno == EINTR) continue;
        if (got > 0) position_ += got;
        return got;
    }
}

bool ByteReader::seekTo(std::int64_t position) {
    if (!seekable_ || position < 0 || position > size_) return false;
    position_ = position;
    return true;
}

CancelPipe::CancelPipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) == 0) {
        read_ = fds[0];
        write_ = fds[1];
    }
}

CancelPipe::~CancelPipe() {
    if (read_ >= 0) ::close(read_);
    if (write_ >= 0) ::close(write_);
}

void CancelPipe::cancel() {
    const char byte = 1;
    if (write_ >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(write_, &byte, 1);
    }
}

std::string readWhole(int fd, std::string head, std::size_t limit, std::string& out) {
    out = std::move(head);
    std::uint8_t chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got == 0) return {};
        if (got < 0) {
            if (errno == EINTR) continue;
            return std::string("cannot read: ") + std::strerror(errno);
        }
        if (out.size() + static_cast<std::size_t>(got) > limit) {
            return "too large to read whole (over " + std::to_string(limit >> 20) + " MiB)";
        }
        out.append(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(got));
    }
}

}  // namespace vantrel
