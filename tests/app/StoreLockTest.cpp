#include "app/StoreLock.h"

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "TempDir.h"

using namespace vornal;

namespace {

// flock locks belong to the open file, so a second open in this process stands for a
// second writer.
TEST(StoreLock, ASecondWriterIsRefusedUntilTheFirstLetsGo)
{
    TempDir dir;
    Result<StoreLock> first = TryLockStore(dir.Path());
    ASSERT_TRUE(first) << first.message();
    EXPECT_TRUE(first.value.Held());

    Result<StoreLock> second = TryLockStore(dir.Path());
    EXPECT_FALSE(second);
    EXPECT_EQ(second.message(), StoreBusyMessage());
    EXPECT_FALSE(second.value.Held());

    // Moving the lock keeps it held; releasing it lets the next writer in.
    StoreLock moved = std::move(first.value);
    EXPECT_FALSE(TryLockStore(dir.Path()));
    moved.Release();
    EXPECT_TRUE(TryLockStore(dir.Path()));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / kStoreLockFileName));
}

TEST(StoreLock, AWaitingWriterSaysSoAndGetsTheLockWhenItIsFree)
{
    TempDir dir;
    Result<StoreLock> first = TryLockStore(dir.Path());
    ASSERT_TRUE(first);
    std::atomic<bool> released{false};
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        released = true;
        first.value.Release();
    });
    int waits = 0;
    Result<StoreLock> second = LockStore(dir.Path(), [&](const std::string& message) {
        ++waits;
        EXPECT_EQ(message, StoreBusyMessage());
    });
    holder.join();
    ASSERT_TRUE(second);
    EXPECT_TRUE(released) << "the lock was taken while the first writer held it";
    EXPECT_EQ(waits, 1);

    // Free from the start: no word about waiting.
    second.value.Release();
    waits = 0;
    EXPECT_TRUE(LockStore(dir.Path(), [&](const std::string&) { ++waits; }));
    EXPECT_EQ(waits, 0);
}

TEST(StoreLock, AMissingFolderIsNamed)
{
    TempDir dir;
    Result<StoreLock> lock = TryLockStore(dir.Path() / "missing");
    EXPECT_FALSE(lock);
    EXPECT_NE(lock.message().find(kStoreLockFileName), std::string::npos);
}

} // namespace
