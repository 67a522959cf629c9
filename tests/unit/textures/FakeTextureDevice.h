// A texture device in memory: textures are byte arrays with a lock pitch of
// the test's choosing, so the copies into them can be checked byte by byte.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "textures/TextureDevice.h"
#include "textures/PixelLayout.h"

struct FakeTextureState {
    std::uint32_t width = 0, height = 0, d3dFormat = 0;
    std::size_t pitch = 0;
    std::uint64_t rows = 0;
    std::vector<std::uint8_t> bits;
    int locks = 0, unlocks = 0;
    bool released = false;
};

class FakeDeviceTexture : public textures::DeviceTexture {
public:
    FakeDeviceTexture(std::shared_ptr<FakeTextureState> state, bool lockFails)
        : state_(std::move(state)), lockFails_(lockFails) {}
    bool lockLevel0(textures::LockedLevel& out) override {
        ++state_->locks;
        if (lockFails_) return false;
        out.bits = state_->bits.data();
        out.pitch = state_->pitch;
        out.rows = state_->rows;
        return true;
    }
    void unlockLevel0() override { ++state_->unlocks; }
    unsigned long release() override {
        state_->released = true;
        return 7;
    }
    IDirect3DTexture9* handle() const override { return nullptr; }

private:
    std::shared_ptr<FakeTextureState> state_;
    bool lockFails_;
};

class FakeTextureDevice : public textures::TextureDevice {
public:
    // Extra bytes of lock pitch beyond the texture's own row, and how many
    // rows fewer than asked the device gives (a device may make textures smaller).
    std::size_t extraPitch = 0;
    std::uint32_t missingRows = 0;
    bool failMake = false, failLock = false;
    std::vector<std::shared_ptr<FakeTextureState>> made;
    std::vector<std::wstring> filesRead;
    std::vector<std::pair<std::uint32_t, textures::DeviceTexture*>> binds;
    textures::TextureLimits largest{16384, 16384};

    std::unique_ptr<textures::DeviceTexture> makeTexture(std::uint32_t width, std::uint32_t height,
                                                         std::uint32_t d3dFormat) override {
        if (failMake) return nullptr;
        auto state = std::make_shared<FakeTextureState>();
        state->width = width;
        state->height = height;
        state->d3dFormat = d3dFormat;
        const std::uint32_t code = codeFor(d3dFormat);
        state->pitch = static_cast<std::size_t>(textures::RowPitch(code, width)) + extraPitch;
        const std::uint64_t rows = textures::RowCount(code, height);
        state->rows = rows > missingRows ? rows - missingRows : 0;
        state->bits.assign(static_cast<std::size_t>(state->pitch * state->rows), 0xCD);
        made.push_back(state);
        return std::make_unique<FakeDeviceTexture>(state, failLock);
    }
    std::unique_ptr<textures::DeviceTexture> readImageFile(const std::wstring& path) override {
        filesRead.push_back(path);
        if (path.find(L"missing") != std::wstring::npos) return nullptr;
        auto state = std::make_shared<FakeTextureState>();
        made.push_back(state);
        return std::make_unique<FakeDeviceTexture>(state, false);
    }
    bool bind(std::uint32_t stage, textures::DeviceTexture* texture) override {
        binds.emplace_back(stage, texture);
        return true;
    }
    textures::TextureLimits limits() const override { return largest; }

private:
    static std::uint32_t codeFor(std::uint32_t d3dFormat) {
        using namespace textures;
        if (d3dFormat == d3dformat::kDxt1) return format::kDxt1;
        if (d3dFormat == d3dformat::kDxt3) return format::kDxt3;
        if (d3dFormat == d3dformat::kDxt5) return format::kDxt5;
        if (d3dFormat == d3dformat::kA8) return format::kAlpha8;
        return format::kBgra32;
    }
};
