// The clipboard history, the event hub that feeds it, and the model-controller wiring.
#include "clipboard/ClipboardList.h"
#include "framework/EditorEventHub.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CountingController : IController {
    int told = 0;
    void modelModified() override { ++told; }
};

struct RecordingListener : ClipboardListener {
    std::vector<std::wstring> texts;
    void newClipboardText(const TextItem& item) override { texts.push_back(item.text); }
};

struct FakeSystem : EditorEventHub::System {
    int joins = 0;
    bool viewUnicode = true;
    bool textOnClipboard = true;
    std::vector<unsigned> formats;
    void* joinClipboardChain() override {
        ++joins;
        return reinterpret_cast<void*>(0x1234);
    }
    bool activeViewIsUnicode() override { return viewUnicode; }
    bool clipboardHasUnicodeText() override { return textOnClipboard; }
    bool formatOnClipboard(unsigned f) override {
        for (unsigned g : formats)
            if (g == f) return true;
        return false;
    }
};

TextItem text(const wchar_t* t, int mode = TextItem::Normal) { return TextItem{t, mode}; }

TEST(ClipboardList, KeepsTenNewestDistinctTextsAndTellsControllers) {
    ClipboardList list;
    CountingController a, b;
    list.addController(&a);
    list.addController(&b);
    list.addController(&a);  // already attached: no second entry
    EXPECT_EQ(list.controllers().size(), 2u);
    EXPECT_EQ(a.model(), &list);

    EXPECT_TRUE(list.AddText(text(L"x")));
    EXPECT_FALSE(list.AddText(text(L"x", TextItem::Column)));  // same text, other mode
    EXPECT_FALSE(list.AddText(text(L"x")));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0)->textMode, TextItem::Normal);
    EXPECT_EQ(a.told, 1);
    EXPECT_EQ(b.told, 1);

    EXPECT_TRUE(list.AddText(text(L"X")));  // case matters
    for (int i = 0; i < 9; ++i) list.AddText(text((L"t" + std::to_wstring(i)).c_str()));
    EXPECT_EQ(list.count(), 10);
    EXPECT_EQ(list.item(0)->text, L"t8");
    EXPECT_EQ(list.item(9)->text, L"X");  // "x" was the eleventh: dropped
    EXPECT_FALSE(list.HasText(text(L"x")));
    EXPECT_EQ(list.item(10), nullptr);
    EXPECT_EQ(a.told, 11);
}

bool inFront = true;
bool editorInFront() { return inFront; }

TEST(OSClipboardController, AddsOnlyWhileTheEditorIsInFront) {
    ClipboardList list;
    EditorEventHub hub;
    FakeSystem system;
    hub.setSystem(&system);
    OSClipboardController controller(&editorInFront);
    controller.init(&list, &hub, nullptr);
    hub.addClipboardListener(&controller);
    EXPECT_EQ(system.joins, 1);
    EXPECT_EQ(hub.nextViewer(), reinterpret_cast<void*>(0x1234));

    inFront = true;
    hub.dispatchClipboardText(text(L"copied"));
    inFront = false;
    hub.dispatchClipboardText(text(L"elsewhere"));
    inFront = true;
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list.item(0)->text, L"copied");
}

TEST(EditorEventHub, ListenersJoinTheChainOnceAndHearEveryText) {
    EditorEventHub hub;
    FakeSystem system;
    hub.setSystem(&system);
    RecordingListener listener;
    hub.addClipboardListener(&listener);
    hub.addClipboardListener(&listener);  // twice: two calls per change
    EXPECT_EQ(system.joins, 1);
    hub.dispatchClipboardText(text(L"a"));
    EXPECT_EQ(listener.texts, (std::vector<std::wstring>{L"a", L"a"}));
}

TEST(EditorEventHub, EncodingConversionsIgnoreTheirOwnClipboardTraffic) {
    EditorEventHub hub;
    FakeSystem system;
    hub.setSystem(&system);
    RecordingListener listener;
    hub.addClipboardListener(&listener);

    // Unicode -> Unicode: nothing armed.
    system.viewUnicode = true;
    hub.encodingConversion(true);
    EXPECT_EQ(hub.ignoreCounter(), 0);

    // ANSI -> Unicode with text on the clipboard: the next two changes are swallowed.
    system.viewUnicode = false;
    system.textOnClipboard = true;
    hub.encodingConversion(true);
    EXPECT_EQ(hub.ignoreCounter(), 2);
    hub.dispatchClipboardText(text(L"document"));
    hub.dispatchClipboardText(text(L"restored"));
    hub.dispatchClipboardText(text(L"user"));
    EXPECT_EQ(listener.texts, (std::vector<std::wstring>{L"user"}));

    // Unicode -> ANSI with an empty clipboard: only the next one.
    system.viewUnicode = true;
    system.textOnClipboard = false;
    hub.encodingConversion(false);
    EXPECT_EQ(hub.ignoreCounter(), 1);
}

TEST(EditorEventHub, LineMarkerWinsOverColumnMarker) {
    EditorEventHub hub;
    FakeSystem system;
    hub.setSystem(&system);
    hub.setSelectionFormats(100, 200);
    EXPECT_EQ(hub.selectionKindOnClipboard(), TextItem::Normal);
    system.formats = {100};
    EXPECT_EQ(hub.selectionKindOnClipboard(), TextItem::Column);
    system.formats = {100, 200};
    EXPECT_EQ(hub.selectionKindOnClipboard(), TextItem::Lines);
}

}  // namespace
