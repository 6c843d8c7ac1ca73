// PNG files through libpng, where the build has it (Linux).
#include "PngFile.h"

#include "PartialFile.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool writeRows(FILE* file, const CapturedImage& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    std::vector<png_byte> row(size_t(image.width) * 3);
    // libpng reports its errors by jumping back here.
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint32_t pixel = image.at(x, y);
            row[size_t(x) * 3] = png_byte(pixel >> 16);
            row[size_t(x) * 3 + 1] = png_byte(pixel >> 8);
            row[size_t(x) * 3 + 2] = png_byte(pixel);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePng(const CapturedImage& image, const std::string& path) {
    if (image.empty() || image.pixels.size() != size_t(image.width) * size_t(image.height)) return false;
    bool written = false;
    {
        File file(std::fopen(partialPathFor(path).c_str(), "wb"));
        if (!file) return false;
        written = writeRows(file.get(), image) && std::fflush(file.get()) == 0;
    }
    return commitPartialFile(path, written);
}

bool readPng(const std::string& path, CapturedImage& image) {
    png_image reader = {};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&reader, path.c_str())) return false;
    reader.format = PNG_FORMAT_RGB;
    std::vector<png_byte> bytes(PNG_IMAGE_SIZE(reader));
    if (!png_image_finish_read(&reader, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&reader);
        return false;
    }
    image.width = int(reader.width);
    image.height = int(reader.height);
    image.pixels.resize(size_t(image.width) * size_t(image.height));
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = uint32_t(bytes[i * 3]) << 16 | uint32_t(bytes[i * 3 + 1]) << 8 | bytes[i * 3 + 2];
    }
    return true;
}
