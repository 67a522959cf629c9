#include <cstring>
#include <numeric>

#include <gtest/gtest.h>

#include "FakeTextureDevice.h"
#include "textures/DXTexture.h"
#include "textures/PixelLayout.h"

using namespace textures;

// Out-of-memory must be observable here as a failed allocation, not as the
// sanitizer's report of an oversized request.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

std::vector<std::uint8_t> counting(std::size_t n) {
    std::vector<std::uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

TEST(PixelLayout, PitchesAndRowCountsNeverWrap) {
    // 24-bit rows are padded to 4 bytes; unknown codes take 4 bytes a pixel.
    EXPECT_EQ(12u, RowPitch(format::kRgb24, 3));
    EXPECT_EQ(16u, RowPitch(format::kRgb24, 5));
    EXPECT_EQ(32u, RowPitch(format::kDxt5Alt, 5));
    EXPECT_EQ(20u, RowPitch(64, 5));

    const std::uint32_t most = 0xFFFFFFFFu;
    EXPECT_EQ(4ull * most, RowPitch(format::kBgra32, most));
    EXPECT_EQ((3ull * most + 3) / 4 * 4, RowPitch(format::kRgb24, most));
    EXPECT_EQ((most + 3ull) / 4 * 16, RowPitch(format::kDxt5, most));
    EXPECT_EQ((most + 3ull) / 4, RowCount(format::kDxt1, most));
    EXPECT_FALSE(imageBytes(format::kBgra32, most, most).has_value());
    EXPECT_EQ(std::optional<std::uint64_t>(4ull * most), imageBytes(format::kBgra32, most, 1));

    // Flags in the high bits make a code that cannot be shown.
    EXPECT_EQ(std::nullopt, deviceFormatFor(0x10010));
    EXPECT_EQ(std::nullopt, deviceFormatFor(64));
}

TEST(TextureBuffer, DxtSidesRoundUpToBlocksAndKeepTheirBlockRows) {
    DXTexture texture;
    const auto data = counting(8 * 64);  // 8 block rows of 64 bytes: 30 x 30 DXT1
    ASSERT_TRUE(texture.CopyPixels(30, 30, format::kDxt1, data.data(), data.size(), {4096, 4096}));
    EXPECT_EQ(32u, texture.textureWidth());
    EXPECT_EQ(32u, texture.textureHeight());
    EXPECT_EQ(30u, texture.imageWidth());
    EXPECT_EQ(30u, texture.imageHeight());
    ASSERT_EQ(512u, texture.pixels().size());
    EXPECT_EQ(0, std::memcmp(data.data(), texture.pixels().data(), data.size()));

    // Sides near the 32-bit limit round up without wrapping to 0.
    DXTexture wide;
    EXPECT_TRUE(wide.PrepareBuffer(0xFFFFFFFEu, 4, format::kDxt1, {16384, 16384}));
    EXPECT_EQ(16384u, wide.textureWidth());
    EXPECT_EQ(4u, wide.textureHeight());
}

TEST(TextureBuffer, FramesWiderThanTheDeviceKeepTheirLeftColumns) {
    DXTexture texture;
    std::vector<std::uint8_t> data(5000 * 4 * 100);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 / 3);
    ASSERT_TRUE(texture.CopyPixels(5000, 100, format::kBgra32, data.data(), data.size(), {4096, 4096}));
    EXPECT_EQ(4096u, texture.textureWidth());
    EXPECT_EQ(100u, texture.textureHeight());
    EXPECT_EQ(4096u, texture.imageWidth());
    ASSERT_EQ(4096u * 4 * 100, texture.pixels().size());
    for (std::size_t row = 0; row < 100; ++row)
        ASSERT_EQ(0, std::memcmp(&data[row * 20000], texture.pixels().data() + row * 16384, 16384)) << row;

    // Taller than the device: the top rows.
    DXTexture tall;
    ASSERT_TRUE(tall.CopyPixels(2, 10, format::kAlpha8, data.data(), 20, {4, 3}));
    EXPECT_EQ(2u, tall.textureWidth());
    EXPECT_EQ(3u, tall.textureHeight());
    EXPECT_EQ(0, std::memcmp(data.data(), tall.pixels().data(), 6));
}

TEST(TextureBuffer, BadPixelDataIsRefusedWithoutReadingIt) {
    DXTexture texture;
    const auto data = counting(64);
    const TextureLimits device{4096, 4096};
    EXPECT_FALSE(texture.CopyPixels(4, 4, format::kBgra32, nullptr, 64, device));
    EXPECT_FALSE(texture.CopyPixels(4, 4, format::kBgra32, data.data(), 63, device));
    EXPECT_FALSE(texture.CopyPixels(3, 2, format::kRgb24, data.data(), 23, device));  // 2 rows of 12
    EXPECT_FALSE(texture.CopyPixels(0, 4, format::kBgra32, data.data(), 64, device));
    EXPECT_FALSE(texture.CopyPixels(4, 0, format::kBgra32, data.data(), 64, device));
    EXPECT_FALSE(texture.CopyPixels(0xFFFFFFFFu, 0xFFFFFFFFu, format::kBgra32, data.data(), 64, device));
    EXPECT_TRUE(texture.pixels().empty());
    EXPECT_TRUE(texture.CopyPixels(3, 2, format::kRgb24, data.data(), 24, device));
}

TEST(TextureBuffer, WithoutADeviceTexturesAreEmpty) {
    DXTexture texture;
    const auto data = counting(64);
    ASSERT_TRUE(texture.CopyPixels(4, 4, format::kBgra32, data.data(), 64, TextureLimits{}));
    EXPECT_EQ(0u, texture.textureWidth());
    EXPECT_EQ(0u, texture.textureHeight());
    EXPECT_TRUE(texture.pixels().empty());
    texture.SendPixelsToDevice();
    EXPECT_FALSE(texture.MakeDeviceTexture());
    EXPECT_FALSE(texture.ReadImageFile(L"a.png"));
    EXPECT_FALSE(texture.BindForDrawing(0));
    EXPECT_EQ(nullptr, texture.DeviceTexture());
}

TEST(TextureBuffer, TheBufferGrowsButNeverShrinks) {
    DXTexture texture;
    const auto data = counting(256);
    ASSERT_TRUE(texture.CopyPixels(8, 8, format::kBgra32, data.data(), 256, {64, 64}));
    ASSERT_EQ(256u, texture.pixels().size());
    ASSERT_TRUE(texture.CopyPixels(2, 2, format::kAlpha8, data.data() + 100, 4, {64, 64}));
    EXPECT_EQ(256u, texture.pixels().size());
    EXPECT_EQ(4u, texture.textureBytes());
    EXPECT_EQ(100, texture.pixels().data()[0]);
    EXPECT_EQ(103, texture.pixels().data()[3]);
}

TEST(TextureBuffer, MemoryThatCannotBeHadFailsThePreparation) {
    DXTexture texture;
    const TextureLimits huge{0xFFFFFFFFu, 0xFFFFFFFFu};
    // Several exbibytes on a 64-bit build; more than size_t on a 32-bit one.
    EXPECT_FALSE(texture.PrepareBuffer(0x7FFFFFFFu, 0x7FFFFFFFu, format::kBgra32, huge));
    EXPECT_TRUE(texture.pixels().empty());
    const auto data = counting(16);
    EXPECT_TRUE(texture.CopyPixels(2, 2, format::kBgra32, data.data(), 16, {64, 64}));
}

class SendToDevice : public ::testing::Test {
protected:
    FakeTextureDevice device;
};

TEST_F(SendToDevice, RgbPixelsAreWidenedToBgraWithOpaqueAlpha) {
    const std::vector<std::uint8_t> row = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xAA, 0xBB, 0xCC};
    std::vector<std::uint8_t> twoRows = row;
    twoRows.insert(twoRows.end(), {10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0});
    device.extraPitch = 4;  // the device's rows are longer than 3 pixels of 4 bytes
    DXTexture texture(&device);
    ASSERT_TRUE(texture.CopyPixels(3, 2, format::kRgb24, twoRows.data(), twoRows.size(), device.limits()));
    texture.SendPixelsToDevice();
    ASSERT_EQ(1u, device.made.size());
    const FakeTextureState& made = *device.made[0];
    EXPECT_EQ(d3dformat::kA8R8G8B8, made.d3dFormat);
    EXPECT_EQ(3u, made.width);
    EXPECT_EQ(2u, made.height);
    const std::vector<std::uint8_t> expected = {3,   2,    1,    255,  6,    5,   4,    255,  9,    8,   7,
                                                255, 0xCD, 0xCD, 0xCD, 0xCD, 12,  11,   10,   255,  15,  14,
                                                13,  255,  18,   17,   16,   255, 0xCD, 0xCD, 0xCD, 0xCD};
    EXPECT_EQ(expected, made.bits);
    EXPECT_EQ(1, made.locks);
    EXPECT_EQ(1, made.unlocks);
    EXPECT_TRUE(texture.pixels().empty());
    EXPECT_TRUE(texture.hasDeviceTexture());
}

TEST_F(SendToDevice, OtherFormatsAreCopiedRowByRowAsStored) {
    struct Case {
        std::uint32_t code, width, height, d3d;
        std::size_t extraPitch;
    };
    for (const Case c :
         {Case{format::kDxt1, 30, 30, d3dformat::kDxt1, 0}, Case{format::kDxt3, 8, 8, d3dformat::kDxt3, 16},
          Case{format::kDxt5Alt, 4, 12, d3dformat::kDxt5, 0}, Case{format::kBgra32, 5, 3, d3dformat::kA8R8G8B8, 12},
          Case{format::kAlpha8, 7, 3, d3dformat::kA8, 1}}) {
        SCOPED_TRACE(c.code);
        device.extraPitch = c.extraPitch;
        const auto data = counting(static_cast<std::size_t>(*imageBytes(c.code, c.width, c.height)));
        DXTexture texture(&device);
        ASSERT_TRUE(texture.CopyPixels(c.width, c.height, c.code, data.data(), data.size(), device.limits()));
        texture.SendPixelsToDevice();
        const FakeTextureState& made = *device.made.back();
        EXPECT_EQ(c.d3d, made.d3dFormat);
        EXPECT_EQ(c.d3d, texture.deviceFormat());
        const auto pitch = static_cast<std::size_t>(RowPitch(c.code, texture.textureWidth()));
        for (std::uint64_t row = 0; row < made.rows; ++row) {
            EXPECT_EQ(0, std::memcmp(&data[row * pitch], &made.bits[row * made.pitch], pitch));
            for (std::size_t pad = pitch; pad < made.pitch; ++pad) EXPECT_EQ(0xCD, made.bits[row * made.pitch + pad]);
        }
        EXPECT_TRUE(texture.pixels().empty());
    }
}

TEST_F(SendToDevice, UnshowableFormatsKeepTheirPixelsAndFailingLocksDropThem) {
    const auto data = counting(64);
    DXTexture unknown(&device);
    ASSERT_TRUE(unknown.CopyPixels(4, 4, 64, data.data(), 64, device.limits()));
    unknown.SendPixelsToDevice();
    EXPECT_TRUE(device.made.empty());
    EXPECT_FALSE(unknown.hasDeviceTexture());
    EXPECT_EQ(64u, unknown.pixels().size());

    device.failMake = true;
    DXTexture refused(&device);
    ASSERT_TRUE(refused.CopyPixels(4, 4, format::kBgra32, data.data(), 64, device.limits()));
    refused.SendPixelsToDevice();
    EXPECT_EQ(64u, refused.pixels().size());

    device.failMake = false;
    device.failLock = true;
    DXTexture unlocked(&device);
    ASSERT_TRUE(unlocked.CopyPixels(4, 4, format::kBgra32, data.data(), 64, device.limits()));
    unlocked.SendPixelsToDevice();
    ASSERT_EQ(1u, device.made.size());
    EXPECT_EQ(1, device.made[0]->unlocks);
    EXPECT_TRUE(unlocked.pixels().empty());
    EXPECT_TRUE(unlocked.hasDeviceTexture());
}

TEST_F(SendToDevice, TexturesSizedWithoutADeviceNeverReachOneMadeLater) {
    const auto data = counting(64);
    DXTexture early(&device);
    ASSERT_TRUE(early.CopyPixels(4, 4, format::kBgra32, data.data(), 64, TextureLimits{}));
    EXPECT_FALSE(early.MakeDeviceTexture());
    early.SendPixelsToDevice();
    EXPECT_TRUE(device.made.empty());
}

TEST_F(SendToDevice, ASmallerDeviceTextureIsNeverWrittenPast) {
    device.missingRows = 2;
    const auto data = counting(4 * 4 * 4);
    DXTexture texture(&device);
    ASSERT_TRUE(texture.CopyPixels(4, 4, format::kBgra32, data.data(), data.size(), device.limits()));
    texture.SendPixelsToDevice();  // ASan reports any write past the two rows
    const FakeTextureState& made = *device.made[0];
    ASSERT_EQ(2u, made.rows);
    EXPECT_EQ(0, std::memcmp(data.data(), made.bits.data(), 32));
}

TEST_F(SendToDevice, DroppingBindingAndReadingFiles) {
    const auto data = counting(64);
    auto texture = std::make_unique<DXTexture>(&device);
    ASSERT_TRUE(texture->CopyPixels(4, 4, format::kBgra32, data.data(), 64, device.limits()));
    EXPECT_TRUE(texture->MakeDeviceTexture());
    ASSERT_TRUE(texture->BindForDrawing(3));
    ASSERT_EQ(1u, device.binds.size());
    EXPECT_EQ(3u, device.binds[0].first);
    EXPECT_NE(nullptr, device.binds[0].second);
    EXPECT_EQ(7ul, texture->DropDeviceTexture());
    EXPECT_TRUE(device.made[0]->released);
    EXPECT_EQ(0ul, texture->DropDeviceTexture());
    EXPECT_FALSE(texture->hasDeviceTexture());

    EXPECT_FALSE(texture->ReadImageFile(L"missing.png"));
    texture = std::make_unique<DXTexture>(&device);
    EXPECT_TRUE(texture->ReadImageFile(L"media\\a.png"));
    EXPECT_EQ(L"media\\a.png", device.filesRead.back());
    EXPECT_EQ(0u, texture->imageWidth());
    EXPECT_TRUE(texture->pixels().empty());
    const auto fileTexture = device.made.back();
    std::unique_ptr<BaseTexture> base = std::move(texture);
    base.reset();  // deleting through the base releases the device texture
    EXPECT_TRUE(fileTexture->released);
}

}  // namespace
