#include "tools/render/TextOutputFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

TextOutputFile::~TextOutputFile() {
    if (file) std::fclose(file);
}

bool TextOutputFile::create(const std::string& path, std::string& error) {
    target = path;
    const int descriptor = temporary.create(path, error);
    if (descriptor < 0) return false;
    file = fdopen(descriptor, "w");
    if (!file) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        close(descriptor);
        temporary.discard();
        return false;
    }
    return true;
}

bool TextOutputFile::complete(std::string& error) {
    const bool failed = !file || std::ferror(file) != 0;
    const bool closed = file && std::fclose(file) == 0;
    const int closeError = errno;
    file = nullptr;
    if (failed || !closed) {
        error = "cannot write '" + target + "': " + std::strerror(failed ? EIO : closeError);
        temporary.discard();
        return false;
    }
    return true;
}
