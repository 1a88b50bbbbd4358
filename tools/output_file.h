// An output of a tool: standard output ("-"), or a regular file that appears
// under its name only when complete. The file is written under a short random
// name in the same directory and renamed onto its name at the end, so any name
// the file system accepts works; a symbolic link is followed, so that its
// target is replaced and the link stays. Anything else found under the name (a
// directory, device, FIFO or socket, a link to nothing) is refused before
// anything is written. The temporary file is removed on every way out,
// including SIGINT, SIGTERM, SIGHUP and SIGPIPE once
// removeTemporaryFilesOnSignals() is installed. A finished file is synced to
// the disk before it takes its name, and its directory after.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "tools/temporary_files.h"

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Works out where `path` leads and, for a file, creates the temporary
    // file; call once. Returns an empty string or one line saying what is
    // wrong.
    std::string open(const std::string& path);

    // Whether the two outputs would end up in one file: one existing file
    // (whatever names or links lead to it), or one name in one directory.
    bool sameFileAs(const OutputFile& other) const;
    // Whether this output would replace or write into the existing file with
    // this device and inode.
    bool writesInto(dev_t device, ino_t inode) const;

    // Writes all of the bytes. After a failure nothing more is written and
    // failure() says what went wrong, with the system's reason.
    bool write(const void* bytes, std::size_t size);
    const std::string& failure() const { return failure_; }

    // Syncs the temporary file to the disk and closes it; returns an empty
    // string or failure().
    std::string finish();
    // finish(), then renames the temporary file onto the name and syncs the
    // directory, so that the new name survives a crash too. Returns an empty
    // string or what went wrong (the temporary file is then removed; a
    // directory that cannot be synced leaves the renamed file in place).
    // An output never opened has nothing to finish or commit.
    std::string commit();

    // The name as messages show it: quoted, or "standard output".
    const std::string& shownName() const { return shown_; }

private:
    std::string fail(const char* what, int error);
    void syncDirectory();
    void discard();

    std::string shown_;
    bool standardOutput_ = false;
    int fd_ = -1;
    bool exists_ = false;  // a file that is there now: device_ and inode_
    dev_t device_ = 0;
    ino_t inode_ = 0;
    int directory_ = -1;  // the directory that holds the file, open
    dev_t directoryDevice_ = 0;
    ino_t directoryInode_ = 0;
    std::string name_;  // the file's name in it
    char temporary_[temporaryNameCapacity] = {};
    int slot_ = -1;
    std::string failure_;
};
