// A drag source for one UTF-16 text: the data object that carries it, the
// format enumerator the data object hands out, and the drop source that ends
// the drag on a button release or cancels it on Escape.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>
#include <vector>

class ZuverUdozOLEDataObject final : public IDataObject {
public:
    ZuverUdozOLEDataObject();
    ZuverUdozOLEDataObject(const ZuverUdozOLEDataObject&) = delete;
    ZuverUdozOLEDataObject& operator=(const ZuverUdozOLEDataObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** enumerator) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** enumerator) override;

    // Replaces the carried text (stored with its terminating zero). False
    // when the memory for it cannot be had; the object then carries nothing.
    bool setDragText(const std::wstring& text);

private:
    ~ZuverUdozOLEDataObject();
    bool offers(const FORMATETC& request) const;

    LONG references_ = 1;
    FORMATETC format_;
    STGMEDIUM medium_;
    SIZE_T size_ = 0;
};

class ZuverUdozOLEEnumFormatEtc final : public IEnumFORMATETC {
public:
    // Copies the records (and their target devices). Throws std::bad_alloc.
    ZuverUdozOLEEnumFormatEtc(const FORMATETC* formats, ULONG count);
    ZuverUdozOLEEnumFormatEtc(const ZuverUdozOLEEnumFormatEtc&) = delete;
    ZuverUdozOLEEnumFormatEtc& operator=(const ZuverUdozOLEEnumFormatEtc&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** enumerator) override;

private:
    ~ZuverUdozOLEEnumFormatEtc();

    LONG references_ = 1;
    ULONG position_ = 0;
    std::vector<FORMATETC> formats_;
};

class ZuverUdozOLEDropSource final : public IDropSource {
public:
    ZuverUdozOLEDropSource() = default;
    ZuverUdozOLEDropSource(const ZuverUdozOLEDropSource&) = delete;
    ZuverUdozOLEDropSource& operator=(const ZuverUdozOLEDropSource&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    ~ZuverUdozOLEDropSource() = default;
    LONG references_ = 1;
};
