// The text drag source on its own: what a drop target can ask of the data
// object and its format enumerator, and when the drop source ends a drag.
#include "framework/DragSource_win.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

FORMATETC request(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

template <typename T>
struct Released {
    void operator()(T* p) const { p->Release(); }
};

class DragSourceTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
    void TearDown() override {
        if (data_ != nullptr) {
            EXPECT_EQ(data_->Release(), 0u);
        }
        ::OleUninitialize();
    }
    DragDataObject* data_ = new DragDataObject();
};

TEST_F(DragSourceTest, DeliversTheTextAsUnicodeWithItsTerminatingZeroAndNothingElse) {
    FORMATETC unicode = request(CF_UNICODETEXT);
    STGMEDIUM medium{};
    // Before any text is set there is nothing to hand out.
    EXPECT_EQ(data_->GetData(&unicode, &medium), DV_E_FORMATETC);

    const std::wstring text = L"<control type=\"label\">\n    <label>5 \u20AC</label>\n</control>\n";
    ASSERT_TRUE(data_->setDragText(text));
    EXPECT_EQ(data_->QueryGetData(&unicode), S_OK);
    ASSERT_EQ(data_->GetData(&unicode, &medium), S_OK);
    EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    ASSERT_NE(medium.hGlobal, nullptr);
    EXPECT_EQ(::GlobalSize(medium.hGlobal), (text.size() + 1) * sizeof(wchar_t));
    {
        const auto* delivered = static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal));
        EXPECT_EQ(std::wstring(delivered, text.size()), text);
        EXPECT_EQ(delivered[text.size()], L'\0');
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);

    // A second text replaces the first completely.
    ASSERT_TRUE(data_->setDragText(L"x"));
    ASSERT_EQ(data_->GetData(&unicode, &medium), S_OK);
    EXPECT_EQ(::GlobalSize(medium.hGlobal), 2 * sizeof(wchar_t));
    EXPECT_STREQ(static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal)), L"x");
    ::GlobalUnlock(medium.hGlobal);
    ::ReleaseStgMedium(&medium);

    FORMATETC ansi = request(CF_TEXT);
    EXPECT_EQ(data_->QueryGetData(&ansi), DV_E_FORMATETC);
    EXPECT_EQ(data_->GetData(&ansi, &medium), DV_E_FORMATETC);
    FORMATETC stream = request(CF_UNICODETEXT, TYMED_ISTREAM);
    EXPECT_EQ(data_->GetData(&stream, &medium), DV_E_FORMATETC);
    FORMATETC either = request(CF_UNICODETEXT, TYMED_ISTREAM | TYMED_HGLOBAL);
    ASSERT_EQ(data_->GetData(&either, &medium), S_OK);
    ::ReleaseStgMedium(&medium);
    FORMATETC thumbnail = request(CF_UNICODETEXT);
    thumbnail.dwAspect = DVASPECT_THUMBNAIL;
    EXPECT_EQ(data_->QueryGetData(&thumbnail), DV_E_FORMATETC);

    EXPECT_EQ(data_->GetDataHere(&unicode, &medium), DV_E_FORMATETC);
    EXPECT_EQ(data_->SetData(&unicode, &medium, FALSE), E_NOTIMPL);
    FORMATETC canonical = request(CF_TEXT);
    canonical.ptd = reinterpret_cast<DVTARGETDEVICE*>(&canonical);
    EXPECT_EQ(data_->GetCanonicalFormatEtc(&unicode, &canonical), E_NOTIMPL);
    EXPECT_EQ(canonical.ptd, nullptr);
    DWORD connection = 0;
    EXPECT_EQ(data_->DAdvise(&unicode, 0, nullptr, &connection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data_->DUnadvise(0), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data_->EnumDAdvise(nullptr), OLE_E_ADVISENOTSUPPORTED);

    void* unknown = nullptr;
    ASSERT_EQ(data_->QueryInterface(IID_IUnknown, &unknown), S_OK);
    static_cast<IUnknown*>(unknown)->Release();
    ASSERT_EQ(data_->QueryInterface(IID_IDataObject, &unknown), S_OK);
    static_cast<IUnknown*>(unknown)->Release();
    EXPECT_EQ(data_->QueryInterface(IID_IDropSource, &unknown), E_NOINTERFACE);
    EXPECT_EQ(unknown, nullptr);
}

TEST_F(DragSourceTest, EnumeratesExactlyOneFormat) {
    IEnumFORMATETC* raw = nullptr;
    EXPECT_EQ(data_->EnumFormatEtc(DATADIR_SET, &raw), E_NOTIMPL);
    ASSERT_EQ(data_->EnumFormatEtc(DATADIR_GET, &raw), S_OK);
    std::unique_ptr<IEnumFORMATETC, Released<IEnumFORMATETC>> formats(raw);

    FORMATETC got[2]{};
    ULONG fetched = 99;
    EXPECT_EQ(formats->Next(0, got, &fetched), E_INVALIDARG);
    EXPECT_EQ(formats->Next(1, nullptr, &fetched), E_INVALIDARG);
    EXPECT_EQ(formats->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0].cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(got[0].tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(got[0].lindex, -1);
    EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    ASSERT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(formats->Next(1, got, nullptr), S_OK);

    // Skipping past the end: S_FALSE, and nothing is left to copy.
    ASSERT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(formats->Skip(1), S_OK);
    EXPECT_EQ(formats->Skip(1), S_FALSE);
    EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(formats->Skip(0xFFFFFFFFu), S_FALSE);  // no wrap-around back into range
    EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);

    // A clone starts where the original stands.
    ASSERT_EQ(formats->Reset(), S_OK);
    IEnumFORMATETC* cloneRaw = nullptr;
    EXPECT_EQ(formats->Clone(nullptr), E_INVALIDARG);
    ASSERT_EQ(formats->Clone(&cloneRaw), S_OK);
    std::unique_ptr<IEnumFORMATETC, Released<IEnumFORMATETC>> clone(cloneRaw);
    EXPECT_EQ(clone->Next(1, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);  // the original did not move
}

TEST_F(DragSourceTest, EscapeCancelsAndReleasingTheButtonDrops) {
    auto* source = new DropSource();
    EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(TRUE, 0), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), DRAGDROP_S_DROP);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
    EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_CONTROL), S_OK);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->AddRef(), 2u);
    EXPECT_EQ(source->Release(), 1u);
    EXPECT_EQ(source->Release(), 0u);
}

}  // namespace
