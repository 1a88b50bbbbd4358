// An output file that appears under its name only when it is complete: it is
// written to a temporary file beside it and renamed at the end, and the
// temporary file is removed if the program gives up first.
#pragma once

#include <cstdio>
#include <string>

class OutputFile {
public:
    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile();

    // Creates the temporary file; returns an empty string or what went wrong.
    std::string create(const std::string& path);
    // The temporary file's stream, open for writing; null before create.
    std::FILE* stream() const { return stream_; }
    // Flushes and closes the stream and renames the temporary file onto the
    // path; returns an empty string or what went wrong (the temporary file is
    // then removed).
    std::string commit();

private:
    void discard();

    std::string path_;
    std::string temporaryPath_;
    std::FILE* stream_ = nullptr;
};
