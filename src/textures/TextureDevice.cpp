#include "textures/TextureDevice.h"

namespace textures {
namespace {

struct Installed {
    TextureDevice* device = nullptr;
    TextureLimits limits;
};

Installed& installed() noexcept {
    static Installed value;
    return value;
}

}  // namespace

TextureDevice* textureDevice() noexcept { return installed().device; }

TextureLimits textureLimits() noexcept { return installed().limits; }

void installTextureDevice(TextureDevice* device, TextureLimits limits) noexcept {
    installed().device = device;
    installed().limits = device ? limits : TextureLimits{};
}

}  // namespace textures
