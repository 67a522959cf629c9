// A drag source for one UTF-16 text: the data object that carries it, the
// format enumerator the data object hands out, and the drop source that ends
// the drag on a button release or cancels it on Escape.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <string>
#include <vector>

// Reference counting and IUnknown for an object implementing one interface;
// the object deletes itself when the last reference goes.
template <typename Derived, typename Interface>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (::IsEqualIID(riid, IID_IUnknown) || ::IsEqualIID(riid, Derived::interfaceId())) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = ::InterlockedDecrement(&references_);
        if (count == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(count);
    }

protected:
    ComObject() = default;
    ~ComObject() = default;

private:
    LONG references_ = 1;
};

class DragDataObject final : public ComObject<DragDataObject, IDataObject> {
public:
    DragDataObject();
    DragDataObject(const DragDataObject&) = delete;
    DragDataObject& operator=(const DragDataObject&) = delete;

    static REFIID interfaceId() { return IID_IDataObject; }
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
    friend class ComObject<DragDataObject, IDataObject>;
    ~DragDataObject();
    bool offers(const FORMATETC& request) const;

    FORMATETC format_;
    STGMEDIUM medium_;
    SIZE_T size_ = 0;
};

class DragFormatEnumerator final : public ComObject<DragFormatEnumerator, IEnumFORMATETC> {
public:
    // Copies the records (and their target devices). Throws std::bad_alloc.
    DragFormatEnumerator(const FORMATETC* formats, ULONG count);
    DragFormatEnumerator(const DragFormatEnumerator&) = delete;
    DragFormatEnumerator& operator=(const DragFormatEnumerator&) = delete;

    static REFIID interfaceId() { return IID_IEnumFORMATETC; }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** enumerator) override;

private:
    friend class ComObject<DragFormatEnumerator, IEnumFORMATETC>;
    ~DragFormatEnumerator();

    ULONG position_ = 0;
    std::vector<FORMATETC> formats_;
};

class DropSource final : public ComObject<DropSource, IDropSource> {
public:
    DropSource() = default;
    DropSource(const DropSource&) = delete;
    DropSource& operator=(const DropSource&) = delete;

    static REFIID interfaceId() { return IID_IDropSource; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    friend class ComObject<DropSource, IDropSource>;
    ~DropSource() = default;
};
