#include "tools/view/media_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vantrel {

InputFile::~InputFile() {
    if (fd >= 0 && path != "-") ::close(fd);
}

std::string openInputFile(const std::string& path, InputFile& file) {
    file.path = path;
    file.fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file.fd < 0) return std::string("cannot open: ") + std::strerror(errno);
    char head[mediaKindBytes];
    std::size_t filled = 0;
    while (filled < sizeof head) {
        const ssize_t got = ::read(file.fd, head + filled, sizeof head - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::string("cannot read: ") + std::strerror(errno);
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    file.head.assign(head, filled);
    file.kind = sniffMedia(reinterpret_cast<const std::uint8_t*>(head), filled);
    return {};
}

namespace {

struct HeadThenRest {
    InputFile* file;
    std::size_t given = 0;
};

ssize_t readHeadThenRest(void* cookie, char* buffer, std::size_t size) {
    auto& state = *static_cast<HeadThenRest*>(cookie);
    if (state.given < state.file->head.size()) {
        const std::size_t count = std::min(size, state.file->head.size() - state.given);
        std::memcpy(buffer, state.file->head.data() + state.given, count);
        state.given += count;
        return static_cast<ssize_t>(count);
    }
    for (;;) {
        const ssize_t got = ::read(state.file->fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

int closeHeadThenRest(void* cookie) {
    delete static_cast<HeadThenRest*>(cookie);
    return 0;
}

}  // namespace

std::FILE* stillStream(InputFile& file) {
    auto* state = new HeadThenRest{&file};
    cookie_io_functions_t functions{readHeadThenRest, nullptr, nullptr, closeHeadThenRest};
    std::FILE* stream = ::fopencookie(state, "r", functions);
    if (stream == nullptr) delete state;
    return stream;
}

}  // namespace vantrel
