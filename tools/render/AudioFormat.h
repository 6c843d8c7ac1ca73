// libsndfile format codes: their names, and the format of a file we write.
#pragma once

#include <string>

// "WAV, 16-bit PCM" for a libsndfile format code.
std::string describeFormat(int format);

// The format for `outputPath`: its file type comes from the name's extension,
// its sample format from the input (or 32-bit float when asked), falling back
// to the nearest sample format that file type can hold.
bool chooseOutputFormat(const std::string& outputPath, int inputFormat, bool writeFloat,
                        int sampleRate, int channels, int& format, std::string& error);
