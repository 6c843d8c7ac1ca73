// Pictures are written beside their target under a temporary name and
// renamed into place only when complete, so a failure leaves no
// half-written file behind (and keeps a file that was there before).
#pragma once

#include <string>

std::string partialPathFor(const std::string& path);

// Renames the partial file into place when it was written completely;
// otherwise, or when the rename fails, removes it. True when it is in place.
bool commitPartialFile(const std::string& path, bool written);
