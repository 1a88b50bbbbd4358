#include "tools/temporary_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace {

constexpr int handledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr int slotCount = 4;

struct Slot {
    volatile std::sig_atomic_t used;
    int directory;
    char name[temporaryNameCapacity];
};
Slot slots[slotCount];

void onEndingSignal(int sig) {
    for (Slot& slot : slots) {
        if (slot.used) ::unlinkat(slot.directory, slot.name, 0);
    }
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    sigemptyset(&standard.sa_mask);
    ::sigaction(sig, &standard, nullptr);
    ::raise(sig);  // delivered, with its default action, when the handler returns
}

}  // namespace

void removeTemporaryFilesOnSignals() {
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : handledSignals) sigaddset(&action.sa_mask, sig);
    for (int sig : handledSignals) {
        // A signal ignored when the program started (nohup, a shell's
        // background job) stays ignored.
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(sig, &action, nullptr);
    }
}

TemporaryFilesGuard::TemporaryFilesGuard() {
    sigset_t blocked;
    sigemptyset(&blocked);
    for (int sig : handledSignals) sigaddset(&blocked, sig);
    ::sigprocmask(SIG_BLOCK, &blocked, &previous_);
}

TemporaryFilesGuard::~TemporaryFilesGuard() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }

int rememberTemporaryFile(int directory, const char* name) {
    if (std::strlen(name) >= temporaryNameCapacity) return -1;
    for (int i = 0; i < slotCount; ++i) {
        if (slots[i].used) continue;
        slots[i].directory = directory;
        std::strcpy(slots[i].name, name);
        std::atomic_signal_fence(std::memory_order_seq_cst);  // the name is whole before the slot counts
        slots[i].used = 1;
        return i;
    }
    return -1;
}

void forgetTemporaryFile(int slot) {
    if (slot >= 0 && slot < slotCount) slots[slot].used = 0;
}
