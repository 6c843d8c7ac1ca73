// What one run of the renderer is asked to do, as read from its command line.
#pragma once

#include <string>

struct RenderOptions {
    std::string inputPath;   // empty: synthesize and render the embedded demo
    std::string outputPath;  // empty: out/<input name>-zq3r.wav, or out/demo-out.wav
    std::string pluginPath;  // empty: the plug-in linked into this program
    int blockSize = 512;
    bool accumulate = false;  // drive the plug-in's accumulating `process`
    bool writeFloat = false;  // 32-bit float WAV instead of the input's sample format
    bool quiet = false;
    int benchPasses = 0;  // non-zero: measure instead of writing a file
    bool showHelp = false;
};
