// The bytes of a media file for a demuxer: from memory, from a regular file
// (seekable, read with pread at our own position), or from a pipe (the bytes
// already read to tell its kind first, then the rest, not seekable).
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size);  // memory, not owned
    explicit ByteReader(std::string file);                   // memory, owned
    // A file or a pipe; reading a pipe gives up (ECANCELED) once `cancelFd`
    // is readable.
    ByteReader(int fd, std::string head, int cancelFd = -1);

    // Up to `capacity` bytes; 0 at the end; -1 with errno on a read error.
    ssize_t read(std::uint8_t* buffer, std::size_t capacity);
    bool seekable() const { return seekable_; }
    // To an absolute position; false when not seekable or out of range.
    bool seekTo(std::int64_t position);
    // The whole size; -1 when not known (a pipe).
    std::int64_t size() const { return size_; }
    std::int64_t position() const { return position_; }

private:
    std::string owned_;
    const std::uint8_t* memory_ = nullptr;
    int fd_ = -1;
    int cancelFd_ = -1;
    std::string head_;
    bool seekable_ = false;
    std::int64_t size_ = -1;
    std::int64_t position_ = 0;
};

// A pipe whose writing end, once written, makes readers given its reading
// end give up waiting for input that may never come.
class CancelPipe {
public:
    CancelPipe();
    ~CancelPipe();
    CancelPipe(const CancelPipe&) = delete;
    CancelPipe& operator=(const CancelPipe&) = delete;
    int readFd() const { return read_; }
    void cancel();

private:
    int read_ = -1;
    int write_ = -1;
};

// Reads all of `fd` after `head` into `out`, up to `limit` bytes: an empty
// string, or what went wrong.
std::string readWhole(int fd, std::string head, std::size_t limit, std::string& out);

}  // namespace vantrel
