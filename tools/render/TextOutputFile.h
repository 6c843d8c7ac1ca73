// A text file written under a temporary name beside its target, put in
// place by `commit` only; destroyed uncommitted, it leaves nothing behind.
#pragma once

#include <cstdio>
#include <string>

#include "tools/render/TemporaryFile.h"

class TextOutputFile {
public:
    TextOutputFile() = default;
    ~TextOutputFile();
    TextOutputFile(const TextOutputFile&) = delete;
    TextOutputFile& operator=(const TextOutputFile&) = delete;

    bool create(const std::string& targetPath, std::string& error);
    std::FILE* stream() const { return file; }
    // Flushes and closes it; false when anything written was lost.
    bool complete(std::string& error);
    bool commit(std::string& error) { return temporary.commit(error); }

    const std::string& temporaryPath() const { return temporary.path(); }
    const std::string& targetPath() const { return target; }

private:
    std::string target;
    TemporaryFile temporary;
    std::FILE* file = nullptr;
};
