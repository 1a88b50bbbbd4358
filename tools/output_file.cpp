#include "tools/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string failure(const char* what, const std::string& path) {
    return std::string(what) + " '" + path + "': " + std::strerror(errno);
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

std::string OutputFile::create(const std::string& path) {
    discard();
    path_ = path;
    // Caught now rather than by the rename after the whole run.
    struct stat existing;
    if (stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        return "cannot create '" + path + "': " + std::strerror(EISDIR);
    }
    std::vector<char> name(path.begin(), path.end());
    const char suffix[] = ".tmp-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = mkstemp(name.data());
    if (fd < 0) return failure("cannot create", path);
    temporaryPath_ = name.data();
    // mkstemp makes the file private; give it the usual permissions.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    stream_ = fdopen(fd, "wb");
    if (stream_ == nullptr) {
        const std::string error = failure("cannot write", path);
        close(fd);
        discard();
        return error;
    }
    return {};
}

std::string OutputFile::commit() {
    if (stream_ == nullptr) return "cannot write '" + path_ + "': not open";
    const bool written = std::ferror(stream_) == 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    if (!written || !closed) {
        const std::string error = closed ? "cannot write '" + path_ + "': a write failed" : failure("cannot write", path_);
        discard();
        return error;
    }
    if (std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
        const std::string error = failure("cannot rename the finished file to", path_);
        discard();
        return error;
    }
    temporaryPath_.clear();
    return {};
}

void OutputFile::discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temporaryPath_.empty()) {
        std::remove(temporaryPath_.c_str());
        temporaryPath_.clear();
    }
}
