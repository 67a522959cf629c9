// Image files on disk decoded through the Windows Imaging Component: PNG,
// JPEG, GIF (its first frame), BMP, TIFF, ICO, and DDS where the system has
// that codec. Part of every Windows since 7.
#pragma once

#include <string>

#include "textures/PixelImage.h"

namespace textures {

// The file's first frame as 32-bit B G R A pixels (not premultiplied).
// False when no installed codec reads it, or it is beyond withinImageLimits.
bool decodeImageFile(const std::wstring& path, Image32& image) noexcept;

}  // namespace textures
