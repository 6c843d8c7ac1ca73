// Loading bitmaps that a module registered: the formats we decode, and data
// that is malformed, truncated or hostile, which must fail without a read
// outside it (the address sanitizer watches every case).
#include "BmpBuilder.h"

#include <PlatformModule.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

constexpr int bitmapId = 200;

// A module holding one bitmap in a heap block of exactly its size, so that
// any read past the end is caught.
class OneBitmapModule {
public:
    explicit OneBitmapModule(const std::vector<uint8_t>& bytes)
        : data(new uint8_t[bytes.empty() ? 1 : bytes.size()]) {
        std::copy(bytes.begin(), bytes.end(), data.get());
        entry = EmbeddedBitmap{bitmapId, data.get(), bytes.size()};
        module = registerModule(&entry, 1);
    }
    ~OneBitmapModule() { unregisterModule(module); }

    HBITMAP load() const { return LoadBitmapA(module, MAKEINTRESOURCEA(bitmapId)); }

    HINSTANCE module;

private:
    std::unique_ptr<uint8_t[]> data;
    EmbeddedBitmap entry;
};

// The bitmap's pixels, read through a DIB section as a program would.
std::vector<uint32_t> pixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> pixels(size_t(width) * height);
    HDC context = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDIBits(context, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS), height);
    DeleteDC(context);
    for (uint32_t& pixel : pixels) pixel &= 0xffffff;
    return pixels;
}

void expectDecoded(const BmpBuilder& builder) {
    OneBitmapModule module(builder.build());
    HBITMAP bitmap = module.load();
    ASSERT_NE(bitmap, nullptr);
    BITMAP description = {};
    ASSERT_EQ(GetObjectA(bitmap, sizeof description, &description), int(sizeof(BITMAP)));
    int rows = std::abs(builder.height);
    EXPECT_EQ(description.bmWidth, builder.width);
    EXPECT_EQ(description.bmHeight, rows);
    EXPECT_EQ(description.bmBitsPixel, 32) << "loaded as a bitmap of the screen's format";
    std::vector<uint32_t> pixels = pixelsOf(bitmap, builder.width, rows);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < builder.width; ++x) {
            EXPECT_EQ(pixels[size_t(y) * builder.width + x],
                      BmpBuilder::paletteColour((x + y) % builder.paletteEntries))
                << "at " << x << "," << y;
        }
    }
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_FALSE(DeleteObject(bitmap));
}

}  // namespace

TEST(BitmapLoading, DecodesPalettizedAndTrueColourInBothOrientations) {
    expectDecoded(BmpBuilder{5, 3, 8, 4});
    expectDecoded(BmpBuilder{5, -3, 8, 4});
    expectDecoded(BmpBuilder{7, 2, 24, 5});
    expectDecoded(BmpBuilder{7, -2, 24, 5});
    expectDecoded(BmpBuilder{1, 1, 8, 256});
}

TEST(BitmapLoading, NamesModulesAndMissingResources) {
    OneBitmapModule module(BmpBuilder{}.build());
    HBITMAP byHashName = LoadBitmapA(module.module, "#200");
    EXPECT_NE(byHashName, nullptr);
    DeleteObject(byHashName);
    EXPECT_EQ(LoadBitmapA(module.module, MAKEINTRESOURCEA(201)), nullptr);
    EXPECT_EQ(LoadBitmapA(module.module, "bitmap"), nullptr);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(bitmapId)), nullptr);
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId)), nullptr);
    HINSTANCE gone = module.module;
    unregisterModule(gone);
    EXPECT_EQ(LoadBitmapA(gone, MAKEINTRESOURCEA(bitmapId)), nullptr);
    module.module = registerModule(nullptr, 0);
}

TEST(BitmapLoading, RejectsMalformedHeaders) {
    const std::vector<uint8_t> good = BmpBuilder{4, 2, 8, 4}.build();
    struct Damage {
        const char* what;
        size_t at;
        int bytes;
        uint32_t value;
    };
    const Damage damages[] = {
        {"magic", 0, 2, 'X' | 'M' << 8},
        {"core header size", 14, 4, 12},
        {"header larger than the file", 14, 4, 100000},
        {"zero width", 18, 4, 0},
        {"negative width", 18, 4, uint32_t(-4)},
        {"zero height", 22, 4, 0},
        {"most negative height", 22, 4, 0x80000000u},
        {"huge width", 18, 4, 100000},
        {"huge height", 22, 4, 0x7fffffff},
        {"two planes", 26, 2, 2},
        {"16 bits", 28, 2, 16},
        {"4 bits", 28, 2, 4},
        {"run-length compression", 30, 4, 1},
        {"more than 256 colours", 46, 4, 257},
        {"palette past the end", 46, 4, 200},
        {"pixels inside the palette", 10, 4, 54},
        {"pixels offset past the end", 10, 4, 0xfffffff0u},
        {"pixels cut short", 10, 4, uint32_t(good.size() - 8 + 1)},
    };
    for (const Damage& damage : damages) {
        std::vector<uint8_t> bytes = good;
        if (damage.bytes == 2) put16(bytes, damage.at, damage.value);
        else put32(bytes, damage.at, damage.value);
        OneBitmapModule module(bytes);
        EXPECT_EQ(module.load(), nullptr) << damage.what;
    }
}

TEST(BitmapLoading, EveryTruncationFails) {
    for (const BmpBuilder& builder : {BmpBuilder{5, 3, 8, 4}, BmpBuilder{5, -3, 24, 4}}) {
        std::vector<uint8_t> bytes = builder.build();
        for (size_t size = 0; size < bytes.size(); ++size) {
            OneBitmapModule module(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size));
            EXPECT_EQ(module.load(), nullptr) << "cut to " << size << " bytes";
        }
    }
}

TEST(BitmapLoading, RandomDamageNeverReadsOutsideTheData) {
    std::mt19937 random(12345);
    const std::vector<uint8_t> good = BmpBuilder{6, -4, 8, 16}.build();
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = good;
        int changes = 1 + int(random() % 4);
        for (int i = 0; i < changes; ++i) bytes[random() % 70] = uint8_t(random());
        bytes.resize(random() % 4 == 0 ? random() % bytes.size() : bytes.size());
        OneBitmapModule module(bytes);
        HBITMAP bitmap = module.load();
        if (!bitmap) continue;
        BITMAP description = {};
        ASSERT_EQ(GetObjectA(bitmap, sizeof description, &description), int(sizeof(BITMAP)));
        EXPECT_GT(description.bmWidth, 0);
        EXPECT_GT(description.bmHeight, 0);
        DeleteObject(bitmap);
    }
}
