#include "framework/DragSource_win.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// A copy of a record whose target device (if any) lives in task memory of its own.
bool deepCopy(FORMATETC& to, const FORMATETC& from) {
    to = from;
    if (from.ptd == nullptr) return true;
    const DWORD size = from.ptd->tdSize >= sizeof(DVTARGETDEVICE) ? from.ptd->tdSize : sizeof(DVTARGETDEVICE);
    to.ptd = static_cast<DVTARGETDEVICE*>(::CoTaskMemAlloc(size));
    if (to.ptd == nullptr) return false;
    std::memcpy(to.ptd, from.ptd, size);
    return true;
}

}  // namespace

// ---------------------------------------------------------------- data object

DragDataObject::DragDataObject() {
    format_.cfFormat = CF_UNICODETEXT;
    format_.ptd = nullptr;
    format_.dwAspect = DVASPECT_CONTENT;
    format_.lindex = -1;
    format_.tymed = TYMED_HGLOBAL;
    medium_.tymed = TYMED_HGLOBAL;
    medium_.hGlobal = nullptr;
    medium_.pUnkForRelease = nullptr;
}

DragDataObject::~DragDataObject() {
    if (medium_.hGlobal != nullptr) ::GlobalFree(medium_.hGlobal);
}

bool DragDataObject::offers(const FORMATETC& request) const {
    return (request.tymed & format_.tymed) != 0 && request.cfFormat == format_.cfFormat &&
           request.dwAspect == format_.dwAspect;
}

HRESULT DragDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (!offers(*format) || format_.tymed != TYMED_HGLOBAL) return DV_E_FORMATETC;
    // Nothing set yet: there is no text to hand out.
    if (medium_.hGlobal == nullptr) return DV_E_FORMATETC;
    HGLOBAL copy = ::GlobalAlloc(GMEM_FIXED, size_);
    if (copy == nullptr) return E_OUTOFMEMORY;
    const void* source = ::GlobalLock(medium_.hGlobal);
    if (source == nullptr) {
        ::GlobalFree(copy);
        return E_OUTOFMEMORY;
    }
    std::memcpy(copy, source, size_);
    ::GlobalUnlock(medium_.hGlobal);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT DragDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT DragDataObject::QueryGetData(FORMATETC* format) {
    return format != nullptr && offers(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT DragDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT DragDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT DragDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) {
    if (enumerator == nullptr) return E_INVALIDARG;
    *enumerator = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    try {
        *enumerator = new DragFormatEnumerator(&format_, 1);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT DragDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT DragDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT DragDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

bool DragDataObject::setDragText(const std::wstring& text) {
    if (medium_.hGlobal != nullptr) {
        ::GlobalFree(medium_.hGlobal);
        medium_.hGlobal = nullptr;
        size_ = 0;
    }
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (block == nullptr) return false;
    void* target = ::GlobalLock(block);
    if (target == nullptr) {
        ::GlobalFree(block);
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(block);
    medium_.hGlobal = block;
    size_ = bytes;
    return true;
}

// ---------------------------------------------------------------- enumerator

DragFormatEnumerator::DragFormatEnumerator(const FORMATETC* formats, ULONG count) {
    if (formats == nullptr) return;
    formats_.reserve(count);
    for (ULONG i = 0; i < count; ++i) {
        FORMATETC copy{};
        if (!deepCopy(copy, formats[i])) copy.ptd = nullptr;
        formats_.push_back(copy);
    }
}

DragFormatEnumerator::~DragFormatEnumerator() {
    for (FORMATETC& f : formats_) {
        if (f.ptd != nullptr) ::CoTaskMemFree(f.ptd);
    }
}

HRESULT DragFormatEnumerator::Next(ULONG count, FORMATETC* formats, ULONG* fetched) {
    if (count == 0 || formats == nullptr) return E_INVALIDARG;
    ULONG copied = 0;
    const ULONG entries = static_cast<ULONG>(formats_.size());
    while (copied < count && position_ < entries) {
        if (!deepCopy(formats[copied], formats_[position_])) break;
        ++copied;
        ++position_;
    }
    if (fetched != nullptr) *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT DragFormatEnumerator::Skip(ULONG count) {
    const ULONG entries = static_cast<ULONG>(formats_.size());
    // Saturating, so that a huge count cannot wrap the position back into range.
    position_ = count > entries - std::min(position_, entries) ? entries + 1 : position_ + count;
    return position_ <= entries ? S_OK : S_FALSE;
}

HRESULT DragFormatEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT DragFormatEnumerator::Clone(IEnumFORMATETC** enumerator) {
    if (enumerator == nullptr || formats_.empty()) return E_INVALIDARG;
    *enumerator = nullptr;
    try {
        auto* copy = new DragFormatEnumerator(formats_.data(), static_cast<ULONG>(formats_.size()));
        copy->position_ = position_;
        *enumerator = copy;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// ---------------------------------------------------------------- drop source

HRESULT DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if ((keyState & MK_LBUTTON) == 0) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT DropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }
