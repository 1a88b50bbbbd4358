// vantrel-view's way to the FFmpeg source: libvantrel-ffmpeg.so, loaded the
// first time a file turns out to be a video or GIF and kept for the rest of
// the process (the sources it opens run its code). It is looked for beside
// the program, where the build tree has it, then where the installed tree
// has it relative to the program's directory, so that an installed tree
// still finds it after being moved.
#include <dlfcn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/view/media/ffmpeg_module.h"

#ifndef VANTREL_FFMPEG_MODULE
#error "VANTREL_FFMPEG_MODULE: the module's file name"
#endif
#ifndef VANTREL_FFMPEG_MODULE_FROM_BINDIR
#error "VANTREL_FFMPEG_MODULE_FROM_BINDIR: the installed module's directory relative to the program's"
#endif

namespace vantrel {

namespace {

struct LoadedModule {
    const FfmpegModule* table = nullptr;
    std::string error;  // why there is no table
};

// The directory of the running program, or an empty string.
std::string programDirectory(std::string& error) {
    std::string path(4096, '\0');
    const ssize_t got = ::readlink("/proc/self/exe", path.data(), path.size());
    if (got <= 0 || static_cast<std::size_t>(got) >= path.size()) {
        error = std::string("cannot find the program's own file: ") +
                (got < 0 ? std::strerror(errno) : "its name is too long");
        return {};
    }
    path.resize(path.rfind('/', static_cast<std::size_t>(got - 1)) + 1);
    return path;
}

LoadedModule loadModule() {
    LoadedModule loaded;
    const std::string directory = programDirectory(loaded.error);
    if (directory.empty()) return loaded;
    const std::string buildTree = directory + VANTREL_FFMPEG_MODULE;
    const std::string installed = directory + VANTREL_FFMPEG_MODULE_FROM_BINDIR "/" VANTREL_FFMPEG_MODULE;
    const std::string& path = ::access(buildTree.c_str(), F_OK) == 0 ? buildTree : installed;
    if (::access(path.c_str(), F_OK) != 0) {
        loaded.error = installed + ": " + std::strerror(errno);
        return loaded;
    }
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        const char* reason = ::dlerror();
        loaded.error = reason != nullptr ? reason : path + ": cannot be loaded";
        return loaded;
    }
    const auto entry = reinterpret_cast<decltype(&vantrel_ffmpeg_module)>(::dlsym(module, ffmpegModuleEntry));
    const FfmpegModule* table = entry != nullptr ? entry() : nullptr;
    if (table == nullptr) {
        loaded.error = path + ": not vantrel-view's FFmpeg module";
    } else if (!sameInterface(*table)) {
        loaded.error = path + ": built for another version of vantrel-view";
    } else {
        loaded.table = table;
        return loaded;
    }
    ::dlclose(module);
    return loaded;
}

}  // namespace

std::unique_ptr<MediaSource> openVideoSource(std::unique_ptr<ByteReader> reader, const FfmpegOptions& options,
                                             std::string& error) {
    static const LoadedModule module = loadModule();
    if (module.table == nullptr) {
        error = "video support could not be loaded: " + module.error;
        return nullptr;
    }
    std::unique_ptr<MediaSource> source(module.table->open(reader.release(), &options, &error));
    if (source == nullptr && error.empty()) error = "cannot open the video";
    return source;
}

}  // namespace vantrel
