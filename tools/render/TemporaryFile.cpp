#include "tools/render/TemporaryFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PartialFile.h"

namespace {

// Paths a signal handler may still have to remove. The handler can only use
// what needs no allocation, hence fixed buffers.
// A render writes up to six at once: the audio, the editor picture, the
// meter values, the plot and its data, and the preset.
constexpr int kPendingSlots = 8;
constexpr size_t kPendingPathSize = 4096;
// A picture is staged once more beside its file while it is written (see
// PartialFile), so each slot keeps that name too.
char pendingPaths[kPendingSlots][kPendingPathSize];
char pendingStagedPaths[kPendingSlots][kPendingPathSize];
volatile sig_atomic_t pendingInUse[kPendingSlots];

int reservePendingSlot(const std::string& path) {
    const std::string staged = partialPathFor(path);
    if (staged.size() >= kPendingPathSize) return -1;
    for (int slot = 0; slot < kPendingSlots; ++slot) {
        if (pendingInUse[slot]) continue;
        std::memcpy(pendingPaths[slot], path.c_str(), path.size() + 1);
        std::memcpy(pendingStagedPaths[slot], staged.c_str(), staged.size() + 1);
        pendingInUse[slot] = 1;
        return slot;
    }
    return -1;
}

void releasePendingSlot(int slot) {
    if (slot >= 0) pendingInUse[slot] = 0;
}

void removePendingAndReraise(int signalNumber) {
    for (int slot = 0; slot < kPendingSlots; ++slot) {
        if (!pendingInUse[slot]) continue;
        unlink(pendingPaths[slot]);
        unlink(pendingStagedPaths[slot]);
    }
    signal(signalNumber, SIG_DFL);
    raise(signalNumber);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// mkstemps creates 0600; a rendered file should get the usual permissions.
void applyUmask(int descriptor) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
}

}  // namespace

TemporaryFile::~TemporaryFile() { discard(); }

int TemporaryFile::create(const std::string& target, std::string& error) {
    discard();
    targetPath = target;
    const std::string folder = folderOf(target);
    struct stat status;
    if (stat(folder.c_str(), &status) != 0) {
        error = "cannot write '" + target + "': " +
                (errno == ENOENT ? "folder '" + folder + "' does not exist" : std::strerror(errno));
        return -1;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = "cannot write '" + target + "': '" + folder + "' is not a folder";
        return -1;
    }
    if (stat(target.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        error = "cannot write '" + target + "': it is a folder";
        return -1;
    }
    const std::string suffix = ".part";
    std::string pattern = folder + "/." + nameOf(target) + ".XXXXXX" + suffix;
    const int descriptor = mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (descriptor < 0) {
        error = "cannot write in folder '" + folder + "': " + std::strerror(errno);
        return -1;
    }
    temporaryPath = pattern;
    slot = reservePendingSlot(temporaryPath);
    applyUmask(descriptor);
    return descriptor;
}

bool TemporaryFile::commit(std::string& error) {
    if (std::rename(temporaryPath.c_str(), targetPath.c_str()) != 0) {
        error = "cannot write '" + targetPath + "': " + std::strerror(errno);
        discard();
        return false;
    }
    temporaryPath.clear();
    releasePendingSlot(slot);
    slot = -1;
    return true;
}

void TemporaryFile::discard() {
    if (!temporaryPath.empty()) unlink(temporaryPath.c_str());
    temporaryPath.clear();
    releasePendingSlot(slot);
    slot = -1;
}

void TemporaryFile::removeOnInterrupt() {
    struct sigaction action = {};
    action.sa_handler = removePendingAndReraise;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}
