// PNG files through the stb single-file codecs, for the Windows builds,
// which have no libpng package to link.
#include "PngFile.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>
#include <stb_image_write.h>

#include <filesystem>

bool writePng(const CapturedImage& image, const std::string& path) {
    if (image.empty() || image.pixels.size() != size_t(image.width) * size_t(image.height)) return false;
    std::vector<unsigned char> rgb(image.pixels.size() * 3);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        rgb[i * 3] = (unsigned char)(image.pixels[i] >> 16);
        rgb[i * 3 + 1] = (unsigned char)(image.pixels[i] >> 8);
        rgb[i * 3 + 2] = (unsigned char)image.pixels[i];
    }
    // Written beside the target and renamed into place, so that a failure
    // leaves no half-written picture behind.
    std::string temporary = path + ".partial";
    bool written = stbi_write_png(temporary.c_str(), image.width, image.height, 3, rgb.data(), image.width * 3) != 0;
    std::error_code error;
    if (written) std::filesystem::rename(temporary, path, error);
    if (!written || error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
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
