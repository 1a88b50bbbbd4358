// Temporary files that must not outlive the program: when SIGINT, SIGTERM,
// SIGHUP or SIGPIPE ends it, a handler removes every file still registered
// here, then the signal takes its default course. The handler touches only
// fixed arrays and async-signal-safe calls.
#pragma once

#include <csignal>
#include <cstddef>

inline constexpr std::size_t temporaryNameCapacity = 32;  // bytes of a name, with its terminating zero

// Installs the handlers; call once, before the first temporary file exists.
void removeTemporaryFilesOnSignals();

// Keeps the handled signals away while a temporary file is created and
// registered, or renamed and forgotten, so that neither happens halfway.
class TemporaryFilesGuard {
public:
    TemporaryFilesGuard();
    ~TemporaryFilesGuard();
    TemporaryFilesGuard(const TemporaryFilesGuard&) = delete;
    TemporaryFilesGuard& operator=(const TemporaryFilesGuard&) = delete;

private:
    sigset_t previous_;
};

// Registers `name` in the directory open as `directory`; returns its slot,
// or -1 when every slot is taken or the name is too long. Call these two
// inside a TemporaryFilesGuard.
int rememberTemporaryFile(int directory, const char* name);
// Unregisters a slot (a negative slot is ignored).
void forgetTemporaryFile(int slot);
