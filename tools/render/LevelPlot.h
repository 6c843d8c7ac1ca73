// --plot: draws the level trace as a PNG with matplotlib, through Debian's
// /usr/bin/python3 and the script plot_levels.py. The build copies the
// script beside the renderer; a renderer run from its build tree also finds
// it in the source tree.
#pragma once

#include <string>

struct PlotLabels {
    std::string title;
    std::string subtitle;            // the settings
    double thresholdDecibels = 0.0;  // drawn as a line over the levels
    bool showThreshold = false;
};

class LevelPlot {
public:
    // Finds the script and makes sure python can draw with it, before any
    // audio is rendered; false with a message naming what is missing.
    bool prepare(std::string& error);
    // Draws the CSV written by LevelTrace into `picturePath`.
    bool draw(const std::string& dataPath, const std::string& picturePath, const PlotLabels& labels,
              std::string& error) const;

private:
    std::string scriptPath;
};
