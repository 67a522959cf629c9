#include "base/FileAccess.h"
#include "base/Files.h"
#include "base/WorkerPool.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(WorkerPool, RunsEveryTaskOnceWithMoreTasksThanWorkersAndReportsThoseThatThrew) {
    const base::CancelFlag never;
    std::vector<std::atomic<int>> runs(100);
    std::mutex lock;
    std::vector<std::thread::id> threads;
    const base::ParallelOutcome outcome = base::runParallel(runs.size(), 3, never, [&](std::size_t i) {
        runs[i].fetch_add(1);
        {
            const std::lock_guard<std::mutex> hold(lock);
            threads.push_back(std::this_thread::get_id());
        }
        if (i % 7 == 3) throw std::runtime_error("broken entry");
    });
    for (std::size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(runs[i].load(), 1) << i;
    EXPECT_EQ(outcome.finished, runs.size());
    EXPECT_FALSE(outcome.cancelled);
    std::vector<std::size_t> expected;
    for (std::size_t i = 3; i < runs.size(); i += 7) expected.push_back(i);
    EXPECT_EQ(outcome.threw, expected);
    std::sort(threads.begin(), threads.end());
    threads.erase(std::unique(threads.begin(), threads.end()), threads.end());
    EXPECT_LE(threads.size(), 3u);
    EXPECT_EQ(std::find(threads.begin(), threads.end(), std::this_thread::get_id()), threads.end())
        << "the caller only waits";
    EXPECT_GE(base::defaultWorkerCount(), 2u);
}

TEST(WorkerPool, CancellingStartsNoFurtherTaskAndLetsRunningOnesFinish) {
    base::CancelFlag cancel;
    // Tasks after the sixth wait at the gate until the sixth has cancelled:
    // the other worker cannot run ahead of the cancel.
    base::Gate gate;
    gate.shut();
    std::atomic<int> started{0};
    std::atomic<int> completed{0};
    const base::ParallelOutcome outcome = base::runParallel(1000, 2, cancel, [&](std::size_t i) {
        started.fetch_add(1);
        if (i == 5) {
            cancel.cancel();
            gate.open();
        }
        if (i > 5) gate.pass();
        completed.fetch_add(1);
    });
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(started.load(), completed.load());
    // 0 to 5, and the one the other worker may have taken before the cancel.
    EXPECT_GE(started.load(), 6);
    EXPECT_LE(started.load(), 7);
    EXPECT_EQ(outcome.finished, static_cast<std::size_t>(started.load()));
}

TEST(Files, WritesUnderAPendingNameAndNeverLeavesItOrReplacesAKeptFile) {
    testsupport::ScratchFolder folder(L"files");
    const std::wstring& base = folder.path();
    const std::wstring deep = base + L"\\a\\b\u00e9";
    ASSERT_TRUE(files::createFolders(deep));
    ASSERT_TRUE(files::createFolders(deep)) << "an existing folder is fine";
    const std::wstring target = deep + L"\\x.png";
    EXPECT_EQ(files::pendingName(target), target + L".tmp");

    const std::uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(files::writeWhole(target, bytes, sizeof bytes, true));
    std::vector<std::uint8_t> read;
    ASSERT_TRUE(files::readAll(target, read));
    EXPECT_EQ(read, std::vector<std::uint8_t>(bytes, bytes + 3));
    EXPECT_FALSE(files::exists(files::pendingName(target)));

    const std::uint8_t other[] = {9};
    EXPECT_FALSE(files::writeWhole(target, other, 1, true)) << "a kept file is not replaced";
    ASSERT_TRUE(files::readAll(target, read));
    EXPECT_EQ(read.size(), 3u);
    EXPECT_FALSE(files::exists(files::pendingName(target)));

    // A folder where the file should go: the rename fails, nothing is left behind.
    EXPECT_FALSE(files::writeWhole(deep, other, 1, false));
    EXPECT_FALSE(files::exists(files::pendingName(deep)));
}

TEST(Files, EveryFunctionTakesABackslashForTheSameSeparator) {
    testsupport::ScratchFolder folder(L"files-separator");
    const std::wstring deep = folder.path() + L"\\sub";
    ASSERT_TRUE(files::createFolders(deep));
    const std::wstring written = deep + L"\\one.bin";
    {
        files::FilePtr file = files::open(written, "wb");
        ASSERT_TRUE(file);
        std::fputc(7, file.get());
    }
    std::vector<std::uint8_t> read;
    ASSERT_TRUE(files::readAll(written, read)) << "the file open() made is the one the others see";
    EXPECT_EQ(read, std::vector<std::uint8_t>{7});
    std::vector<std::wstring> below;
    ASSERT_TRUE(files::listFilesBelow(folder.path(), below));
    EXPECT_EQ(below, std::vector<std::wstring>{L"sub/one.bin"});
    const std::wstring moved = deep + L"\\two.bin";
    ASSERT_TRUE(files::moveReplacing(written, moved));
    EXPECT_FALSE(files::exists(written));
    ASSERT_TRUE(files::removeFile(moved));
    EXPECT_FALSE(files::exists(moved));
}
