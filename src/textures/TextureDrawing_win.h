// Drawing one texture on the display device: the render state (unlit,
// unblended, no depth or stencil test, linear filtering, clamped addressing)
// and a quad at the texture's own size at the render target's top left.
#pragma once

#include <d3d9.h>

namespace textures {

// Draws the texture, already bound to stage 0, between the caller's
// BeginScene and EndScene, one texel per pixel; stage 0 is left unbound.
// False (nothing drawn) when its level 0 cannot be described.
bool drawAtOwnSize(IDirect3DDevice9& device, IDirect3DTexture9& texture) noexcept;

}  // namespace textures
