#include <cstring>

#include <gtest/gtest.h>

#include "OrtWriter.h"
#include "base/TextCodec.h"
#include "support/TestSupport.h"
#include "textures/OrtReader.h"

using namespace ortwriter;

namespace {

const textures::TextureLimits kLargeDevice{16384, 16384};

EntrySpec entryOf(std::string path, FrameSpec f) {
    EntrySpec e;
    e.path = std::move(path);
    e.frames.push_back(std::move(f));
    return e;
}

// The texture's buffer, row by row, equals the frame's data (same size: no clamping).
void expectPixelsEqual(const DXTexture& texture, const Bytes& expected) {
    ASSERT_EQ(texture.textureBytes(), expected.size());
    ASSERT_GE(texture.pixels().size(), expected.size());
    EXPECT_EQ(0, std::memcmp(texture.pixels().data(), expected.data(), expected.size()));
}

class OrtReaderTest : public ::testing::Test {
protected:
    std::wstring write(const BundleSpec& bundle, const std::string& name = "t.ort") {
        return writeBytes(build(bundle), name);
    }
    std::wstring writeBytes(const Bytes& bytes, const std::string& name = "t.ort") {
        const std::wstring path = folder.file(text::fromUtf8(name));
        EXPECT_TRUE(testsupport::writeFile(path, std::string(bytes.begin(), bytes.end())));
        return path;
    }
    std::unique_ptr<DXTexture> loadFirst(const std::string& name) {
        const OrtEntry* entry = reader.Find(std::wstring(name.begin(), name.end()));
        if (!entry || entry->frames.empty()) return nullptr;
        return reader.LoadFrame(entry->frames.front(), kLargeDevice);
    }

    testsupport::ScratchFolder folder{L"tex"};
    OrtReader reader;
};

TEST_F(OrtReaderTest, EmptyBundleOpensWithNoNames) {
    ASSERT_TRUE(reader.Open(write(BundleSpec{})));
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_TRUE(reader.EntryNames().empty());
    EXPECT_EQ(nullptr, reader.Find(L""));
}

TEST_F(OrtReaderTest, HeadersThatAreNotBundlesFailAndLeaveTheReaderClosed) {
    BundleSpec good;
    good.entries.push_back(entryOf("a.png", frame(kAlpha8, 2, 2, patternPixels(kAlpha8, 2, 2, 1))));
    good.entries.push_back(entryOf("b.png", frame(kAlpha8, 2, 2, patternPixels(kAlpha8, 2, 2, 2))));

    BundleSpec badMagic = good;
    badMagic.magic = "ORTf";
    BundleSpec badVersion = good;
    badVersion.version = '1';
    BundleSpec countTooLarge = good;
    countTooLarge.count = 3;
    BundleSpec hugeCount = good;
    hugeCount.count = 0xFFFFFFFFu;
    BundleSpec hugeFrameCount;
    hugeFrameCount.entries.push_back(good.entries[0]);
    Bytes hugeFrames = build(hugeFrameCount);
    std::memset(&hugeFrames[9 + 260], 0xFF, 4);  // the entry's frame count

    Bytes truncatedMagic = build(good);
    truncatedMagic.resize(3);
    Bytes truncatedInFrame = build(good);
    truncatedInFrame.resize(9 + 264 + 20);

    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"bad magic", build(badMagic)},
        {"bad version", build(badVersion)},
        {"count too large", build(countTooLarge)},
        {"huge count", build(hugeCount)},
        {"huge frame count", hugeFrames},
        {"truncated magic", truncatedMagic},
        {"truncated in a frame", truncatedInFrame},
        {"empty file", Bytes{}},
    };
    for (const auto& [what, bytes] : cases) {
        ASSERT_TRUE(reader.Open(write(good, "good.ort"))) << what;
        EXPECT_FALSE(reader.Open(writeBytes(bytes))) << what;
        EXPECT_FALSE(reader.IsOpen()) << what;
        EXPECT_TRUE(reader.entries().empty()) << what;
        EXPECT_TRUE(reader.EntryNames().empty()) << what;
        EXPECT_EQ(nullptr, reader.Find(L"a.png")) << what;
        EXPECT_EQ(nullptr, reader.LoadFrame(OrtFrame{}, kLargeDevice)) << what;
    }
    EXPECT_FALSE(reader.Open(folder.file(L"missing.ort")));
    EXPECT_FALSE(reader.IsOpen());
}

TEST_F(OrtReaderTest, GapBetweenHeaderAndDataAndDataInAnyOrder) {
    BundleSpec bundle;
    const Bytes first = patternPixels(kBgra32, 5, 3, 1);
    const Bytes second = patternPixels(kBgra32, 3, 5, 2);
    bundle.entries.push_back(entryOf("first.png", frame(kBgra32, 5, 3, first)));
    bundle.entries.push_back(entryOf("second.png", frame(kBgra32, 3, 5, second)));
    bundle.gapBytes = 1;
    // Swap where the two frames' data lie: frames are found by their offsets.
    const std::uint64_t dataAt = headerBytes(bundle) + 1;
    bundle.entries[0].frames[0].offset = dataAt + second.size();
    bundle.entries[0].frames[0].stored = second;
    bundle.entries[1].frames[0].offset = dataAt;
    bundle.entries[1].frames[0].stored = first;
    bundle.entries[0].frames[0].packedSize = first.size();
    bundle.entries[1].frames[0].packedSize = second.size();
    ASSERT_TRUE(reader.Open(write(bundle)));
    auto a = loadFirst("first.png");
    auto b = loadFirst("second.png");
    ASSERT_TRUE(a && b);
    expectPixelsEqual(*a, first);
    expectPixelsEqual(*b, second);
}

TEST_F(OrtReaderTest, DuplicatesAreListedTwiceAndTheLaterOneIsFound) {
    BundleSpec bundle;
    bundle.entries.push_back(entryOf("a.png", frame(kAlpha8, 1, 1, {1})));
    bundle.entries.push_back(entryOf("Buttons/Focus.png", frame(kAlpha8, 1, 1, {2})));
    bundle.entries.push_back(entryOf("a.png", frame(kAlpha8, 2, 1, {3, 4})));
    ASSERT_TRUE(reader.Open(write(bundle)));
    EXPECT_EQ((std::vector<std::wstring>{L"a.png", L"Buttons/Focus.png", L"a.png"}), reader.EntryNames());
    const OrtEntry* found = reader.Find(L"a.png");
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(2u, found->frames.at(0).width);

    EXPECT_NE(nullptr, reader.Find(L"Buttons/Focus.png"));
    EXPECT_EQ(nullptr, reader.Find(L"buttons/focus.png"));
    EXPECT_EQ(nullptr, reader.Find(L"Buttons\\Focus.png"));
    EXPECT_EQ(nullptr, reader.Find(L"Buttons/Focus.png "));
    EXPECT_EQ(nullptr, reader.Find(L"a.pn"));
    // U+012E has the low byte of '.': a name is never matched by truncating characters.
    EXPECT_EQ(nullptr, reader.Find(L"a\u012Epng"));
}

TEST_F(OrtReaderTest, EntryFieldsFramesAndHighBytesOfNames) {
    BundleSpec bundle;
    EntrySpec anim;
    anim.path = "anim/caf\xE9.png";  // one byte, widened to U+00E9
    anim.loop = 5;
    for (std::uint32_t i = 0; i < 3; ++i) {
        FrameSpec f = frame(kDxt5Alt | 0xABCD0000u, 8, 4, patternPixels(kDxt5Alt, 8, 4, i), i == 1);
        f.duration = 100 + i;
        anim.frames.push_back(f);
    }
    bundle.entries.push_back(anim);
    ASSERT_TRUE(reader.Open(write(bundle)));
    const OrtEntry* entry = reader.Find(L"anim/caf\u00E9.png");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(5u, entry->loop);
    ASSERT_EQ(3u, entry->frames.size());
    for (std::uint32_t i = 0; i < 3; ++i) {
        const OrtFrame& f = entry->frames[i];
        EXPECT_EQ(0xABCD0008u, f.format) << "flags are kept with the code";
        EXPECT_EQ(101u, entry->frames[1].duration);
        auto texture = reader.LoadFrame(f, kLargeDevice);
        ASSERT_NE(nullptr, texture) << i;
        EXPECT_EQ(8u, texture->format()) << "only the low 16 bits select the layout";
        expectPixelsEqual(*texture, patternPixels(kDxt5Alt, 8, 4, i));
    }
    EXPECT_TRUE(entry->frames[1].packedSize < entry->frames[1].unpackedSize);
    EXPECT_EQ(entry->frames[0].packedSize, entry->frames[0].unpackedSize);
}

TEST_F(OrtReaderTest, PathWithoutZeroByteIsTheWholeFieldAndNothingBeyond) {
    BundleSpec bundle;
    const std::string longPath(256, 'x');
    bundle.entries.push_back(entryOf(longPath, frame(kAlpha8, 1, 1, {9})));
    bundle.entries.push_back(entryOf("next.png", frame(kAlpha8, 1, 1, {8})));
    ASSERT_TRUE(reader.Open(write(bundle)));
    const auto names = reader.EntryNames();
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ(std::wstring(256, L'x'), names[0]);
    EXPECT_EQ(L"next.png", names[1]);
    EXPECT_NE(nullptr, reader.Find(std::wstring(256, L'x')));
}

TEST_F(OrtReaderTest, EveryFormatRawAndCompressedLoadsItsExactBytes) {
    BundleSpec bundle;
    std::uint32_t seed = 1;
    for (std::uint32_t code : {1u, 2u, 4u, 8u, 16u, 32u, 128u, 64u}) {
        for (bool compress : {false, true}) {
            const std::uint32_t w = 12, h = 8;
            bundle.entries.push_back(entryOf(std::to_string(code) + (compress ? "z" : "r"),
                                             frame(code, w, h, patternPixels(code, w, h, seed++), compress)));
        }
    }
    ASSERT_TRUE(reader.Open(write(bundle)));
    for (const EntrySpec& spec : bundle.entries) {
        SCOPED_TRACE(spec.path);
        const OrtFrame& f = reader.Find(std::wstring(spec.path.begin(), spec.path.end()))->frames[0];
        if (spec.frames[0].compress) {
            EXPECT_LT(f.packedSize, f.unpackedSize);
        }
        auto texture = reader.LoadFrame(f, kLargeDevice);
        ASSERT_NE(nullptr, texture);
        EXPECT_EQ(12u, texture->textureWidth());
        EXPECT_EQ(8u, texture->textureHeight());
        EXPECT_FALSE(texture->hasDeviceTexture());
        expectPixelsEqual(*texture, spec.frames[0].pixels);
    }
}

TEST_F(OrtReaderTest, FramesThatCannotBeReadFailAndTheReaderStaysOpen) {
    const Bytes pixels = patternPixels(kBgra32, 8, 8, 3);  // 256 bytes
    BundleSpec bundle;
    const auto add = [&bundle](const std::string& name, FrameSpec f) {
        bundle.entries.push_back(entryOf(name, std::move(f)));
    };

    add("good", frame(kBgra32, 8, 8, pixels, true));
    FrameSpec f = frame(kBgra32, 8, 8, pixels);
    f.packedSize = f.unpackedSize = 1u << 20;  // more than the file holds
    add("past end of file", f);
    f = frame(kBgra32, 8, 8, pixels);
    f.offset = ~std::uint64_t{0} - 16;  // offset plus size wraps
    add("offset wraps", f);
    f = frame(kBgra32, 8, 8, pixels);
    f.packedSize = f.unpackedSize = 0x100000000ull;
    add("4 GiB raw", f);
    f = frame(kBgra32, 8, 8, pixels, true);
    f.unpackedSize = 0x100000000ull + 256;
    add("4 GiB unpacked", f);
    f = frame(kBgra32, 8, 8, pixels, true);
    f.stored = compressLzo(pixels);
    f.stored->resize(f.stored->size() - 5);
    add("compressed data cut short", f);
    f.stored = Bytes(100, 0xFF);
    add("garbage instead of compressed data", f);
    f = frame(kBgra32, 8, 8, pixels, true);
    f.unpackedSize = 512;  // decompresses to fewer bytes than claimed
    add("unpacked size too large", f);
    f = frame(kBgra32, 8, 4, pixels, true);
    f.unpackedSize = 128;  // enough for 8x4, but the data decompresses to 256 bytes
    add("unpacked size too small", f);
    add("raw data too short", frame(kBgra32, 8, 9, pixels));
    add("zero width", frame(kBgra32, 0, 8, pixels));
    add("zero height", frame(kBgra32, 8, 0, pixels));
    f = frame(kBgra32, 8, 8, pixels);
    f.pixels.clear();
    f.stored = Bytes{};
    f.unpackedSize = 0;
    add("no data", f);
    add("dxt frame too short", frame(kDxt1, 8, 8, Bytes(31, 1)));
    add("huge sides", frame(kBgra32, 0xFFFFFFFFu, 0xFFFFFFFFu, pixels));

    ASSERT_TRUE(reader.Open(write(bundle)));
    for (const EntrySpec& spec : bundle.entries) {
        auto texture = loadFirst(spec.path);
        EXPECT_EQ(spec.path == "good", texture != nullptr) << spec.path;
        EXPECT_TRUE(reader.IsOpen()) << spec.path;
    }
    // A good frame still loads after all the failures.
    auto again = loadFirst("good");
    ASSERT_NE(nullptr, again);
    expectPixelsEqual(*again, pixels);
}

TEST_F(OrtReaderTest, HighlyCompressedFramesLoadAndImpossibleRatiosAreRefused) {
    BundleSpec bundle;
    const Bytes zeros(2048 * 512 * 4, 0);
    bundle.entries.push_back(entryOf("zeros.png", frame(kBgra32, 2048, 512, zeros, true)));
    FrameSpec claims = frame(kBgra32, 16384, 16384, Bytes(64, 0), true);
    claims.stored = compressLzo(Bytes(64, 0));
    claims.unpackedSize = 16384ull * 16384 * 4;  // 1 GiB from a few bytes
    bundle.entries.push_back(entryOf("claims.png", claims));
    ASSERT_TRUE(reader.Open(write(bundle)));
    const OrtFrame& f = reader.Find(L"zeros.png")->frames[0];
    EXPECT_GT(f.unpackedSize / f.packedSize, 200u) << "the data is as compressible as LZO allows";
    auto texture = loadFirst("zeros.png");
    ASSERT_NE(nullptr, texture);
    expectPixelsEqual(*texture, zeros);
    EXPECT_EQ(nullptr, loadFirst("claims.png"));
}

TEST_F(OrtReaderTest, ReopeningReplacesTheIndexAndUtf16PathsReachTheFile) {
    BundleSpec one, two;
    one.entries.push_back(entryOf("one.png", frame(kAlpha8, 1, 1, {1})));
    two.entries.push_back(entryOf("two.png", frame(kAlpha8, 1, 1, {2})));
    ASSERT_TRUE(reader.Open(write(one, "one.ort")));
    const std::wstring second = write(two, "\xC3\xA4rger \xE2\x82\xAC.ort");  // UTF-8 on disk
    ASSERT_TRUE(reader.Open(second));
    EXPECT_EQ(second, reader.path());
    EXPECT_EQ(nullptr, reader.Find(L"one.png"));
    auto texture = loadFirst("two.png");
    ASSERT_NE(nullptr, texture);
    EXPECT_EQ(2, texture->pixels().data()[0]);
    reader.Close();
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_TRUE(reader.EntryNames().empty());
}

}  // namespace
