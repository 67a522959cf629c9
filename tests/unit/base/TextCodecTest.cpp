#include "base/TextCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, Utf8RoundTripsEveryPlane) {
    const std::wstring wide = L"a\u00e9\u20ac\U0001F600z";
    const std::string utf8 = text::toUtf8(wide);
    EXPECT_EQ(utf8, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(text::fromUtf8(utf8), wide);
}

TEST(TextCodec, MalformedUtf8BecomesReplacementWithoutOverread) {
    // Truncated sequence at the end, a stray continuation byte, an overlong form.
    EXPECT_EQ(text::fromUtf8("a\xE2\x82"), L"a\uFFFD");
    EXPECT_EQ(text::fromUtf8("\x80x"), L"\uFFFDx");
    EXPECT_EQ(text::fromUtf8("\xC0\xAFy"), L"\uFFFDy");
    EXPECT_EQ(text::fromUtf8("\xED\xA0\x80"), L"\uFFFD");  // encoded surrogate
}

TEST(TextCodec, BytesWidenOneToOne) {
    EXPECT_EQ(text::widenBytes("\xE9\x80"), std::wstring(L"\u00e9\u0080"));
    EXPECT_EQ(text::narrowBytes(L"\u00e9\u20ac"), "\xE9?");
}

TEST(TextCodec, CodePagesChooseTheConversion) {
    EXPECT_EQ(text::fromCodePage("\xC3\xA9", text::kCodePageUtf8), L"\u00e9");
    EXPECT_EQ(text::fromCodePage("\xE9", text::kCodePageAnsi), L"\u00e9");
    EXPECT_EQ(text::toCodePage(L"\u20ac", text::kCodePageUtf8), "\xE2\x82\xAC");
    EXPECT_TRUE(text::representable(L"\u20ac", text::kCodePageUtf8));
    EXPECT_TRUE(text::representable(L"caf\u00e9", text::kCodePageAnsi));
}

}  // namespace
