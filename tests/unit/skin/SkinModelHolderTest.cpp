#include "skin/SkinModelHolder.h"
#include "FakeFileSystem.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>

using namespace skin;

namespace {

// Holds the worker in the file reader until the test opens it, and counts the
// worker's wakes; both waited for without any clock.
class Gate {
public:
    void open() {
        std::lock_guard<std::mutex> hold(lock_);
        open_ = true;
        changed_.notify_all();
    }
    void pass() {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [this] { return open_; });
    }
    void woke() {
        std::lock_guard<std::mutex> hold(lock_);
        ++wakes_;
        changed_.notify_all();
    }
    void awaitWakes(int count) {
        std::unique_lock<std::mutex> hold(lock_);
        changed_.wait(hold, [&] { return wakes_ >= count; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool open_ = false;
    int wakes_ = 0;
};

const wchar_t kWindow[] = L"C:\\skin\\720p";
const wchar_t kHome[] = L"C:\\skin\\720p\\Home.xml";

class SkinModelHolderTest : public ::testing::Test {
protected:
    SkinModelHolderTest() {
        put(L"C:\\skin\\720p\\includes.xml", "<includes><include name=\"Clock\"><label/></include></includes>");
        put(kHome, "<window><include>Clock</include></window>");
        put(L"C:\\other\\720p\\Home.xml", "<window/>");
    }
    void put(const std::wstring& path, std::string bytes) {
        fs_.addFile(path, bytes.size());
        bytes_[path] = std::move(bytes);
    }
    SkinModelHolder::ModelMaker maker() {
        return [this] {
            SkinModelOptions options;
            options.imageElements = {L"texture"};
            return std::make_unique<SkinModel>(
                fs_,
                [this](const std::wstring& path, std::string& out) {
                    gate_.pass();
                    const auto it = bytes_.find(path);
                    if (it == bytes_.end()) return false;
                    out = it->second;
                    return true;
                },
                [](const std::wstring&, std::vector<BundleEntryInfo>&) { return false; }, options);
        };
    }

    FakeFileSystem fs_;
    std::map<std::wstring, std::string> bytes_;
    Gate gate_;
    SkinModelHolder holder_{maker(), [this] { gate_.woke(); }};
};

}  // namespace

TEST_F(SkinModelHolderTest, BuildsOnTheWorkerAndHandsTheModelOverOnlyWhenCollected) {
    // Unsaved text given before the model exists is what the model reads.
    holder_.setOverlay(kHome, "<window><include>Clock</include><include>Unsaved</include></window>");
    holder_.request(kWindow);
    EXPECT_TRUE(holder_.busy());
    EXPECT_EQ(holder_.model(kWindow), nullptr);
    EXPECT_FALSE(holder_.collect()) << "collected while the worker still reads";

    gate_.open();
    gate_.awaitWakes(1);
    const std::uint64_t before = holder_.generation();
    EXPECT_TRUE(holder_.collect());
    EXPECT_GT(holder_.generation(), before);
    EXPECT_FALSE(holder_.collect()) << "a second wake for the same job collects nothing";
    // Folders as the file system compares them.
    const SkinModel* model = holder_.model(L"c:\\SKIN\\720p\\");
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->references(SymbolKind::Include, "Unsaved").size(), 1u);
    EXPECT_EQ(model->definitions(SymbolKind::Include, "Clock").size(), 1u);

    // Text typed now reaches the model at home at once.
    holder_.setOverlay(kHome, "<window><include>Typed</include></window>");
    EXPECT_EQ(model->references(SymbolKind::Include, "Typed").size(), 1u);

    // The same skin again is brought up to date, not rebuilt: nothing changed.
    holder_.request(kWindow);
    gate_.awaitWakes(2);
    EXPECT_FALSE(holder_.collect());
    EXPECT_EQ(holder_.model(kWindow), model);

    // The document goes back to its file while the model is away: it reads
    // the file again on its return.
    holder_.request(kWindow);
    holder_.clearOverlay(kHome);
    gate_.awaitWakes(3);
    EXPECT_TRUE(holder_.collect());
    EXPECT_TRUE(model->references(SymbolKind::Include, "Typed").empty());
    EXPECT_EQ(model->references(SymbolKind::Include, "Clock").size(), 1u);

    // A command waits for a skin not read yet; a request made while the worker
    // was busy runs after it.
    holder_.request(kWindow);
    holder_.request(L"C:\\other\\720p");
    const SkinModel* other = holder_.await(L"C:\\other\\720p");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->skinFolder(), L"C:\\other");
    EXPECT_FALSE(holder_.busy());

    // A command that must see the files as they are now reads a changed one
    // again, with nobody having asked; a request for another skin made
    // meanwhile still gets its turn.
    put(L"C:\\skin\\720p\\includes.xml", "<includes><include name=\"Changed\"><label/></include></includes>");
    fs_.touch(L"C:\\skin\\720p\\includes.xml", 70);
    const SkinModel* fresh = holder_.refreshed(kWindow);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->includeNames(), std::vector<std::string>{"Changed"});
    holder_.request(kWindow);
    holder_.request(L"C:\\other\\720p");
    EXPECT_NE(holder_.refreshed(kWindow), nullptr);
    EXPECT_TRUE(holder_.busy()) << "the other skin's request was dropped";
    holder_.finish();
}
