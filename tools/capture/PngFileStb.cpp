// PNG files through the stb single-file codecs, for the Windows builds,
// which have no libpng package to link.
#include "PngFile.h"

#include "PartialFile.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#include <stb_image_write.h>


bool writePng(const CapturedImage& image, const std::string& path) {
    if (image.empty() || image.pixels.size() != size_t(image.width) * size_t(image.height)) return false;
    std::vector<unsigned char> rgb(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        rgb[i * 3] = (unsigned char)(image.pixels[i] >> 16);
        rgb[i * 3 + 1] = (unsigned char)(image.pixels[i] >> 8);
        rgb[i * 3 + 2] = (unsigned char)image.pixels[i];
    }
    const bool written = stbi_write_png(partialPathFor(path).c_str(), image.width, image.height, 3, rgb.data(),
                                        image.width * 3) != 0;
    return commitPartialFile(path, written);
}

bool readPng(const std::string& path, CapturedImage& image) {
    int width = 0, height = 0, channels = 0;
    unsigned char* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
    if (!rgb) return false;
    image.width = width;
    image.height = height;
    image.pixels.resize(size_t(width) * size_t(height));
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
    }
    stbi_image_free(rgb);
    return true;
}
