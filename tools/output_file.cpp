#include "tools/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include "tools/quoted_bytes.h"

namespace {

const char* kindOf(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

#ifdef O_PATH
constexpr int directoryFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;  // needs no read permission
#else
constexpr int directoryFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Creates a new file under a random name of the form ".tmp-XXXXXXXXXX" in
// `directory` and registers it for removal on signals.
int createTemporary(int directory, char (&name)[temporaryNameCapacity], int& slot) {
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device source;
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::memcpy(name, ".tmp-", 5);
        for (int i = 5; i < 15; ++i) name[i] = letters[source() % (sizeof letters - 1)];
        name[15] = '\0';
        const TemporaryFilesGuard guard;
        const int fd = ::openat(directory, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            slot = rememberTemporaryFile(directory, name);
            return fd;
        }
        error = errno;
    }
    name[0] = '\0';
    errno = error;
    return -1;
}

}  // namespace

OutputFile::~OutputFile() { discard(); }

std::string OutputFile::fail(const char* what, int error) {
    failure_ = std::string(what) + " " + shown_ + ": " + std::strerror(error);
    return failure_;
}

std::string OutputFile::open(const std::string& path) {
    struct stat entry;
    if (path == "-") {
        standardOutput_ = true;
        shown_ = "standard output";
        if (::isatty(STDOUT_FILENO)) return "standard output is a terminal; redirect it or name a file";
        fd_ = STDOUT_FILENO;
        if (::fstat(fd_, &entry) == 0 && S_ISREG(entry.st_mode)) {
            exists_ = true;
            device_ = entry.st_dev;
            inode_ = entry.st_ino;
        }
        return {};
    }

    shown_ = quotedName(path);
    std::string target = path;  // where the new file goes: the name, or the end of its links
    if (::lstat(path.c_str(), &entry) == 0) {
        if (S_ISLNK(entry.st_mode)) {
            if (::stat(path.c_str(), &entry) != 0) {
                if (errno == ENOENT) return shown_ + " is a symbolic link to nothing";
                return fail("cannot follow", errno);
            }
            char* resolved = ::realpath(path.c_str(), nullptr);
            if (resolved == nullptr) return fail("cannot follow", errno);
            target = resolved;
            std::free(resolved);
        }
        if (!S_ISREG(entry.st_mode)) return shown_ + " is " + kindOf(entry.st_mode) + ", not a regular file";
        exists_ = true;
        device_ = entry.st_dev;
        inode_ = entry.st_ino;
    } else if (errno != ENOENT) {
        return fail("cannot create", errno);
    }

    const std::size_t slash = target.rfind('/');
    name_ = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    if (name_.empty()) return fail("cannot create", EISDIR);
    directory_ = ::open(directory.c_str(), directoryFlags);
    struct stat folder;
    if (directory_ < 0 || ::fstat(directory_, &folder) != 0) return fail("cannot create", errno);
    directoryDevice_ = folder.st_dev;
    directoryInode_ = folder.st_ino;

    fd_ = createTemporary(directory_, temporary_, slot_);
    if (fd_ < 0) return fail("cannot create", errno);
    // The replaced file's permissions carry over to its new content.
    if (exists_) ::fchmod(fd_, entry.st_mode & 07777);
    return {};
}

bool OutputFile::sameFileAs(const OutputFile& other) const {
    if (standardOutput_ && other.standardOutput_) return true;
    if (exists_ && other.exists_ && device_ == other.device_ && inode_ == other.inode_) return true;
    return !standardOutput_ && !other.standardOutput_ && directoryDevice_ == other.directoryDevice_ &&
           directoryInode_ == other.directoryInode_ && name_ == other.name_;
}

bool OutputFile::writesInto(dev_t device, ino_t inode) const {
    return exists_ && device_ == device && inode_ == inode;
}

bool OutputFile::write(const void* bytes, std::size_t size) {
    if (!failure_.empty()) return false;
    if (fd_ < 0) {
        fail("cannot write", EBADF);
        return false;
    }
    const auto* next = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t written = ::write(fd_, next, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            fail("cannot write", errno);
            return false;
        }
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string OutputFile::finish() {
    if (fd_ >= 0 && !standardOutput_) {
        // The content reaches the disk before the file takes its name, so that
        // a crash leaves the old file or the new one, never a hole. Some file
        // systems report a full disk or an I/O error only at the sync or the
        // close; those that cannot sync at all say EINVAL.
        if (failure_.empty()) {
            while (::fsync(fd_) != 0) {
                if (errno == EINTR) continue;
                if (errno != EINVAL) fail("cannot write", errno);
                break;
            }
        }
        if (::close(fd_) != 0 && failure_.empty()) fail("cannot write", errno);
        fd_ = -1;
    }
    return failure_;
}

void OutputFile::syncDirectory() {
    // The directory itself holds the rename. O_PATH descriptors cannot be
    // synced, so it is opened again for reading; a directory the user may
    // write into but not read cannot be synced, and the rename stands as the
    // file system keeps it. File systems that cannot sync a directory say
    // EINVAL.
    const int fd = ::openat(directory_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    int error = 0;
    while (::fsync(fd) != 0) {
        if (errno == EINTR) continue;
        if (errno != EINVAL && errno != EROFS) error = errno;
        break;
    }
    ::close(fd);
    if (error != 0) fail("cannot sync the directory of", error);
}

std::string OutputFile::commit() {
    if (!finish().empty()) {
        discard();
        return failure_;
    }
    if (standardOutput_ || temporary_[0] == '\0') return failure_;  // nothing to put in place
    {
        const TemporaryFilesGuard guard;
        if (::renameat(directory_, temporary_, directory_, name_.c_str()) != 0) {
            fail("cannot rename the finished file to", errno);
        } else {
            forgetTemporaryFile(slot_);
            slot_ = -1;
            temporary_[0] = '\0';
        }
    }
    if (failure_.empty()) syncDirectory();
    discard();
    return failure_;
}

void OutputFile::discard() {
    if (fd_ >= 0 && !standardOutput_) ::close(fd_);
    fd_ = -1;
    if (temporary_[0] != '\0') {
        const TemporaryFilesGuard guard;
        ::unlinkat(directory_, temporary_, 0);
        forgetTemporaryFile(slot_);
        slot_ = -1;
        temporary_[0] = '\0';
    }
    if (directory_ >= 0) ::close(directory_);
    directory_ = -1;
}
