#include "tools/render/AudioFormat.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>

namespace {

std::string formatName(int command, int format) {
    SF_FORMAT_INFO info = {};
    info.format = format;
    if (sf_command(nullptr, command, &info, sizeof info) != 0 || info.name == nullptr) {
        return "unknown";
    }
    return info.name;
}

std::string lowerCaseExtension(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return "";
    std::string extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// Extensions people use that libsndfile lists under another spelling.
std::string canonicalExtension(const std::string& extension) {
    if (extension == "aif") return "aiff";
    if (extension == "ogg") return "oga";
    if (extension == "wave") return "wav";
    return extension;
}

int majorFormatForExtension(const std::string& extension) {
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info = {};
        info.format = i;
        sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
        if (info.extension != nullptr && extension == info.extension) return info.format;
    }
    return 0;
}

bool formatIsWritable(int format, int sampleRate, int channels) {
    SF_INFO info = {};
    info.format = format;
    info.samplerate = sampleRate;
    info.channels = channels;
    return sf_format_check(&info) != 0;
}

}  // namespace

std::string describeFormat(int format) {
    return formatName(SFC_GET_FORMAT_INFO, format & SF_FORMAT_TYPEMASK) + ", " +
           formatName(SFC_GET_FORMAT_INFO, format & SF_FORMAT_SUBMASK);
}

bool chooseOutputFormat(const std::string& outputPath, int inputFormat, bool writeFloat,
                        int sampleRate, int channels, int& format, std::string& error) {
    const std::string extension = canonicalExtension(lowerCaseExtension(outputPath));
    const int major = extension.empty() ? 0 : majorFormatForExtension(extension);
    if (major == 0) {
        error = "cannot tell which file type to write from the name '" + outputPath +
                "'; end it in .wav, .flac, .aiff or another type libsndfile writes";
        return false;
    }
    if (writeFloat) {
        format = major | SF_FORMAT_FLOAT;
        if (formatIsWritable(format, sampleRate, channels)) return true;
        error = "--float needs a file type that holds float samples, such as .wav; '" +
                outputPath + "' is " + formatName(SFC_GET_FORMAT_INFO, major);
        return false;
    }
    const int preferred[] = {inputFormat & SF_FORMAT_SUBMASK, SF_FORMAT_FLOAT, SF_FORMAT_PCM_24,
                             SF_FORMAT_PCM_16, SF_FORMAT_VORBIS, SF_FORMAT_OPUS};
    for (int subtype : preferred) {
        format = major | subtype;
        if (formatIsWritable(format, sampleRate, channels)) return true;
    }
    error = "libsndfile cannot write " + formatName(SFC_GET_FORMAT_INFO, major) + " at " +
            std::to_string(sampleRate) + " Hz with " + std::to_string(channels) + " channels";
    return false;
}
