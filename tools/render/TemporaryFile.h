// A file written under a temporary name beside its target and renamed onto
// it only when complete, so that a failed or interrupted run leaves neither a
// half-written target nor the temporary file behind.
#pragma once

#include <string>

class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();  // removes the file unless it was committed
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates ".<name>.XXXXXX.part" in the target's folder. Returns its open
    // descriptor (the caller closes it), or -1 with a message.
    int create(const std::string& targetPath, std::string& error);
    // Renames the finished file onto the target.
    bool commit(std::string& error);
    void discard();

    const std::string& path() const { return temporaryPath; }

    // Makes SIGINT, SIGTERM and SIGHUP remove the files still being written.
    static void removeOnInterrupt();

private:
    std::string targetPath;
    std::string temporaryPath;
    int slot = -1;
};
