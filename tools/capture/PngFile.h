// PNG files for captured images: 8-bit RGB, no alpha.
#pragma once

#include "CapturedImage.h"

#include <string>

// Writes the image; false when it cannot, and then no file is left at path
// (an existing file there is kept).
bool writePng(const CapturedImage& image, const std::string& path);

// Reads an RGB or RGBA PNG (alpha dropped); false when the file is missing
// or not a PNG.
bool readPng(const std::string& path, CapturedImage& image);
