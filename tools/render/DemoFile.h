// Writes the embedded demo song as a 16-bit stereo WAV file.
#pragma once

#include <string>

bool writeDemoFile(const std::string& path, std::string& error);
