#include "PartialFile.h"

#include <filesystem>
#include <system_error>

std::string partialPathFor(const std::string& path) { return path + ".partial"; }

bool commitPartialFile(const std::string& path, bool written) {
    const std::string temporary = partialPathFor(path);
    std::error_code error;
    if (written) std::filesystem::rename(temporary, path, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}
