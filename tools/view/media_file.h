// A file given to vantrel-view told apart by its first bytes: a still
// picture for the picture loaders, or a video or animation for the player.
// Each file is opened and read once (standard input and named pipes can be
// read only once), so the bytes read to tell it apart are kept and handed on
// to whichever reads it.
#pragma once

#include <cstdio>
#include <string>

#include "tools/view/media/media_kind.h"

namespace vantrel {

struct InputFile {
    std::string path;   // "-": standard input
    int fd = -1;        // open, read from just after `head`
    std::string head;   // the first bytes (fewer when the file is shorter)
    MediaKind kind = MediaKind::still;

    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();
};

// Opens `path` and reads its first bytes: an empty string, or why not.
std::string openInputFile(const std::string& path, InputFile& file);

// The file as a stream that gives `file.head` first, then the rest of it,
// for the picture loaders: a file is opened only once, and standard input
// or a pipe read only once. Null when it cannot be made.
std::FILE* stillStream(InputFile& file);

}  // namespace vantrel
