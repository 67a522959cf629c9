// Texture objects on a real Direct3D 9 device (Wine's, on a hidden window):
// frames read from bundles reach the device in the right format and size,
// with exactly the bytes expected in level 0.
#include <windows.h>
#include <d3d9.h>
#include <d3dx9.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "OrtWriter.h"
#include "support/TestSupport.h"
#include "textures/DXTexture.h"
#include "textures/DisplayDevice_win.h"
#include "textures/OrtReader.h"
#include "textures/PixelLayout.h"

using namespace ortwriter;

namespace {

struct LockedCopy {
    D3DSURFACE_DESC desc{};
    std::vector<std::uint8_t> bytes;
    std::size_t pitch = 0;
};

// Level 0 of the texture, read back through a read-only lock.
LockedCopy readLevel0(IDirect3DTexture9* texture, std::uint64_t rows) {
    LockedCopy copy;
    EXPECT_EQ(D3D_OK, texture->GetLevelDesc(0, &copy.desc));
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) {
        ADD_FAILURE() << "level 0 cannot be locked";
        return copy;
    }
    copy.pitch = static_cast<std::size_t>(locked.Pitch);
    const auto* bits = static_cast<const std::uint8_t*>(locked.pBits);
    copy.bytes.assign(bits, bits + copy.pitch * rows);
    texture->UnlockRect(0);
    return copy;
}

class DeviceTextures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        display_ = new textures::DisplayDevice;
        ASSERT_TRUE(display_->createHidden());
    }
    static void TearDownTestSuite() {
        delete display_;
        display_ = nullptr;
    }
    static textures::DisplayDevice& display() { return *display_; }

    testsupport::ScratchFolder folder{L"tex"};

private:
    static inline textures::DisplayDevice* display_ = nullptr;
};

TEST(DisplayDevice, WithoutADeviceNothingReachesDirect3DAndCreationSetsTheLimits) {
    textures::DisplayDevice display;
    EXPECT_EQ(nullptr, display.device());
    EXPECT_EQ(0u, display.limits().maxWidth);
    DXTexture texture(&display.textures());
    const std::vector<std::uint8_t> data(64, 7);
    ASSERT_TRUE(texture.CopyPixels(4, 4, textures::format::kBgra32, data.data(), data.size(), display.limits()));
    texture.SendPixelsToDevice();
    EXPECT_EQ(nullptr, texture.DeviceTexture());

    ASSERT_TRUE(display.createHidden());
    ASSERT_NE(nullptr, display.device());
    EXPECT_TRUE(display.onHiddenWindow());
    EXPECT_GE(display.limits().maxWidth, 2048u);
    EXPECT_EQ(display.limits().maxWidth, display.textures().limits().maxWidth);
    EXPECT_EQ(display.limits().maxHeight, display.textures().limits().maxHeight);
    EXPECT_GT(display.parameters().BackBufferWidth, 0u);
    IDirect3DDevice9* first = display.device();
    EXPECT_TRUE(display.createHidden());
    EXPECT_EQ(first, display.device()) << "an existing device is kept";
    EXPECT_TRUE(display.resize(40, 30));
    EXPECT_EQ(40u, display.parameters().BackBufferWidth);
    display.release();
    EXPECT_EQ(nullptr, display.device());
    EXPECT_EQ(0u, display.textures().limits().maxWidth);
}

TEST_F(DeviceTextures, EveryFormatFromABundleReachesLevel0AsExpected) {
    struct Case {
        std::uint32_t code;
        D3DFORMAT d3d;
        std::uint32_t width, height;
        bool compress;
    };
    const Case cases[] = {
        {kDxt1, D3DFMT_DXT1, 30, 30, true},     {kDxt3, D3DFMT_DXT3, 16, 8, false},
        {kDxt5, D3DFMT_DXT5, 8, 12, true},      {kDxt5Alt, D3DFMT_DXT5, 12, 4, false},
        {kBgra32, D3DFMT_A8R8G8B8, 7, 5, true}, {kAlpha8, D3DFMT_A8, 13, 6, false},
        {kRgb24, D3DFMT_A8R8G8B8, 5, 3, true},
    };
    BundleSpec bundle;
    std::uint32_t seed = 11;
    for (const Case& c : cases) {
        EntrySpec entry;
        entry.path = "formats/" + std::to_string(c.code) + ".png";
        entry.frames.push_back(
            frame(c.code, c.width, c.height, patternPixels(c.code, c.width, c.height, seed++), c.compress));
        bundle.entries.push_back(entry);
    }
    // A non-ASCII file name: the reader must open it by its UTF-16 path.
    const std::wstring path = folder.file(L"b\u00FCndel \u20AC.ort");
    ASSERT_TRUE(writeFile(path, build(bundle)));

    OrtReader reader;
    reader.useDevice(&display().textures());
    ASSERT_TRUE(reader.Open(path));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.code);
        const Bytes& source = bundle.entries[i].frames[0].pixels;
        const OrtEntry* entry = reader.Find(std::wstring(bundle.entries[i].path.begin(), bundle.entries[i].path.end()));
        ASSERT_NE(nullptr, entry);
        std::unique_ptr<DXTexture> texture = reader.LoadFrame(entry->frames[0]);
        ASSERT_NE(nullptr, texture);
        texture->SendPixelsToDevice();
        ASSERT_NE(nullptr, texture->DeviceTexture());
        EXPECT_TRUE(texture->pixels().empty());

        const bool block = textures::isBlockFormat(c.code);
        const std::uint32_t width = block ? (c.width + 3) / 4 * 4 : c.width;
        const std::uint32_t height = block ? (c.height + 3) / 4 * 4 : c.height;
        const std::uint64_t rows = textures::RowCount(c.code, height);
        const LockedCopy level = readLevel0(texture->DeviceTexture(), rows);
        EXPECT_EQ(c.d3d, level.desc.Format);
        EXPECT_EQ(width, level.desc.Width);
        EXPECT_EQ(height, level.desc.Height);
        EXPECT_EQ(1u, texture->DeviceTexture()->GetLevelCount());
        ASSERT_FALSE(level.bytes.empty());

        const auto sourcePitch = static_cast<std::size_t>(textures::RowPitch(c.code, c.width));
        for (std::uint64_t row = 0; row < rows; ++row) {
            const std::uint8_t* in = &source[row * sourcePitch];
            const std::uint8_t* out = &level.bytes[row * level.pitch];
            if (c.code == kRgb24) {
                for (std::uint32_t x = 0; x < c.width; ++x) {
                    const std::uint8_t expected[4] = {in[3 * x + 2], in[3 * x + 1], in[3 * x], 0xFF};
                    ASSERT_EQ(0, std::memcmp(expected, out + 4 * x, 4)) << "row " << row << " pixel " << x;
                }
            } else {
                ASSERT_EQ(0, std::memcmp(in, out, sourcePitch)) << "row " << row;
            }
        }
        EXPECT_EQ(0u, texture->DropDeviceTexture());
        EXPECT_EQ(nullptr, texture->DeviceTexture());
    }
}

TEST_F(DeviceTextures, UnshowableFormatsMakeNoTextureAndKeepTheirPixels) {
    BundleSpec bundle;
    EntrySpec entry;
    entry.path = "odd.png";
    entry.frames.push_back(frame(64, 4, 4, patternPixels(64, 4, 4, 3)));
    bundle.entries.push_back(entry);
    const std::wstring path = folder.file(L"odd.ort");
    ASSERT_TRUE(writeFile(path, build(bundle)));
    OrtReader reader;
    reader.useDevice(&display().textures());
    ASSERT_TRUE(reader.Open(path));
    auto texture = reader.LoadFrame(reader.Find(L"odd.png")->frames[0]);
    ASSERT_NE(nullptr, texture);
    texture->SendPixelsToDevice();
    EXPECT_EQ(nullptr, texture->DeviceTexture());
    EXPECT_EQ(64u, texture->pixels().size());
}

TEST_F(DeviceTextures, ImageFilesAreReadStraightIntoATextureAndBindingSetsTheSampler) {
    // A PNG made with D3DX itself, then read it back through the texture object.
    IDirect3DDevice9* device = display().device();
    IDirect3DTexture9* source = nullptr;
    ASSERT_EQ(D3D_OK, ::D3DXCreateTexture(device, 8, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &source));
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(D3D_OK, source->LockRect(0, &locked, nullptr, 0));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            static_cast<std::uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] =
                0xFF000000u | (x * 30) << 16 | (y * 60) << 8;
    source->UnlockRect(0);
    const std::wstring png = folder.file(L"\u00E4\u00F6.png");
    const HRESULT saved = ::D3DXSaveTextureToFileW(png.c_str(), D3DXIFF_PNG, source, nullptr);
    source->Release();
    ASSERT_EQ(D3D_OK, saved);

    DXTexture texture(&display().textures());
    ASSERT_TRUE(texture.ReadImageFile(png));
    ASSERT_NE(nullptr, texture.DeviceTexture());
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(D3D_OK, texture.DeviceTexture()->GetLevelDesc(0, &desc));
    // Read at the file's own size.
    EXPECT_EQ(8u, desc.Width);
    EXPECT_EQ(4u, desc.Height);
    EXPECT_EQ(0u, texture.imageWidth());
    EXPECT_TRUE(texture.pixels().empty());
    EXPECT_FALSE(texture.ReadImageFile(folder.file(L"missing.png")));
    EXPECT_EQ(nullptr, texture.DeviceTexture());

    ASSERT_TRUE(texture.ReadImageFile(png));
    ASSERT_TRUE(texture.BindForDrawing(1));
    IDirect3DBaseTexture9* bound = nullptr;
    ASSERT_EQ(D3D_OK, device->GetTexture(1, &bound));
    EXPECT_EQ(static_cast<IDirect3DBaseTexture9*>(texture.DeviceTexture()), bound);
    if (bound) bound->Release();
    DWORD value = 0;
    device->GetSamplerState(1, D3DSAMP_MAGFILTER, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DTEXF_LINEAR), value);
    device->GetSamplerState(1, D3DSAMP_MINFILTER, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DTEXF_LINEAR), value);
    device->GetSamplerState(1, D3DSAMP_ADDRESSU, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DTADDRESS_CLAMP), value);
    device->GetSamplerState(1, D3DSAMP_ADDRESSV, &value);
    EXPECT_EQ(static_cast<DWORD>(D3DTADDRESS_CLAMP), value);
    device->SetTexture(1, nullptr);
}

}  // namespace
