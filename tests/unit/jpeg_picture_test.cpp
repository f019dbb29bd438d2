// Decoding the banner, and refusing damaged JPEG data without crashing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "ui/jpeg_picture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readBanner() {
    std::ifstream file(CFT_RESOURCES_DIR "/banner.jpg", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Offset of the byte after the first marker 0xFF `code`, or 0 when there is none.
std::size_t afterMarker(const Bytes& jpeg, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) {
            return i + 2;
        }
    }
    return 0;
}

// Where the entropy-coded data of the first scan begins.
std::size_t scanDataStart(const Bytes& jpeg) {
    const std::size_t header = afterMarker(jpeg, 0xDA);
    return header + (static_cast<std::size_t>(jpeg[header]) << 8 | jpeg[header + 1]);
}

class JpegPictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        banner = readBanner();
        ASSERT_GT(banner.size(), 1000U) << "resources/banner.jpg not found";
    }
    Bytes banner;
};

TEST_F(JpegPictureTest, BannerDecodesToBlueTextInBgrxRows) {
    const Picture picture = decodeJpeg(banner);

    ASSERT_EQ(picture.width, 351);
    ASSERT_EQ(picture.height, 90);
    ASSERT_EQ(picture.pixels.size(), 351U * 90U * 4U);
    int blueOverRed = 0;
    int redOverBlue = 0;
    for (std::size_t i = 0; i < picture.pixels.size(); i += 4) {
        const int blue = picture.pixels[i];
        const int red = picture.pixels[i + 2];
        blueOverRed += blue > red + 80 ? 1 : 0;
        redOverBlue += red > blue + 80 ? 1 : 0;
        ASSERT_EQ(picture.pixels[i + 3], 0) << "pixel " << i / 4;
    }
    // The characters are blue on green and white: swapped channels would make them red.
    EXPECT_GT(blueOverRed, 1000);
    EXPECT_EQ(redOverBlue, 0);
    // Rows run top-down: the background fades from green at the left to white at the right.
    const auto at = [&picture](int x, int y) {
        return &picture.pixels[(static_cast<std::size_t>(y) * 351 + x) * 4];
    };
    EXPECT_GT(at(2, 2)[1], at(2, 2)[2] + 40);
    EXPECT_GT(std::min({at(348, 2)[0], at(348, 2)[1], at(348, 2)[2]}), 200);
}

TEST_F(JpegPictureTest, TruncatedDataGivesTheEmptyPicture) {
    const std::size_t scan = scanDataStart(banner);
    const struct {
        const char* name;
        std::size_t length;
    } cuts[] = {
        {"half a marker", 1},
        {"start-of-image only", 2},
        {"cut right after the frame marker", afterMarker(banner, 0xC0)},
        {"a few bytes of the scan", scan + 10},
        {"half the scan", scan + (banner.size() - scan) / 2},
        {"no end-of-image marker", banner.size() - 2},
    };
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.name);
        const Bytes bytes(banner.begin(), banner.begin() + static_cast<std::ptrdiff_t>(cut.length));
        const Picture picture = decodeJpeg(bytes);
        EXPECT_TRUE(picture.empty());
        EXPECT_EQ(picture.width, 0);
        EXPECT_EQ(picture.height, 0);
    }
}

TEST_F(JpegPictureTest, DamagedDataGivesTheEmptyPicture) {
    struct Damage {
        const char* name;
        void (*apply)(Bytes& jpeg);
    };
    const Damage damages[] = {
        {"nothing at all", [](Bytes& jpeg) { jpeg.clear(); }},
        {"not a JPEG",
         [](Bytes& jpeg) {
             jpeg.assign({'G', 'I', 'F', '8', '9', 'a', 0, 0});
         }},
        {"zero width in the frame header",
         [](Bytes& jpeg) {
             const std::size_t frame = afterMarker(jpeg, 0xC0);
             jpeg[frame + 5] = 0;
             jpeg[frame + 6] = 0;
         }},
        {"Huffman table with impossible counts",
         [](Bytes& jpeg) {
             const std::size_t table = afterMarker(jpeg, 0xC4);
             std::fill_n(jpeg.begin() + static_cast<std::ptrdiff_t>(table + 3), 16, 0xFF);
         }},
        {"stray marker in the middle of the scan",
         [](Bytes& jpeg) {
             const std::size_t middle = (scanDataStart(jpeg) + jpeg.size()) / 2;
             jpeg[middle] = 0xFF;
             jpeg[middle + 1] = 0xD3;
         }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.name);
        Bytes jpeg = banner;
        damage.apply(jpeg);
        EXPECT_TRUE(decodeJpeg(jpeg).empty());
    }
}

}  // namespace
