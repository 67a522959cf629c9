#include "textures/TextureDrawing_win.h"

namespace textures {
namespace {

struct QuadVertex {
    float x, y, z, rhw;
    float u, v;
};
constexpr DWORD kQuadFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;

void setDrawState(IDirect3DDevice9& device) noexcept {
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device.SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device.SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device.SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device.SetRenderState(D3DRS_LIGHTING, FALSE);
    device.SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device.SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device.SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device.SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device.SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
    device.SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_RED | D3DCOLORWRITEENABLE_GREEN |
                                                      D3DCOLORWRITEENABLE_BLUE | D3DCOLORWRITEENABLE_ALPHA);
    device.SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device.SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device.SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
}

}  // namespace

bool drawAtOwnSize(IDirect3DDevice9& device, IDirect3DTexture9& texture) noexcept {
    D3DSURFACE_DESC level{};
    if (FAILED(texture.GetLevelDesc(0, &level))) return false;
    setDrawState(device);
    device.SetFVF(kQuadFvf);
    // Half-pixel offsets put texel centres on pixel centres: one texel per pixel.
    const float w = static_cast<float>(level.Width) - 0.5f;
    const float h = static_cast<float>(level.Height) - 0.5f;
    const QuadVertex quad[4] = {
        {-0.5f, -0.5f, 0.5f, 2.0f, 0.0f, 0.0f},
        {w, -0.5f, 0.5f, 2.0f, 1.0f, 0.0f},
        {w, h, 0.5f, 2.0f, 1.0f, 1.0f},
        {-0.5f, h, 0.5f, 2.0f, 0.0f, 1.0f},
    };
    device.DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(QuadVertex));
    device.SetTexture(0, nullptr);
    return true;
}

}  // namespace textures
