// The hand-off between the loads and the reading thread: order, batches and what is stale.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Strings.h"
#include "items/ItemReads.h"

namespace {
ItemReadRequest Request(CollectionKind kind, std::uint32_t generation, ReadTier tier, const wchar_t* path)
{
    ItemReadRequest request;
    request.Kind = kind;
    request.Generation = generation;
    request.Tier = tier;
    request.Path = path;
    return request;
}

std::vector<std::string> PathsOf(const std::vector<ItemReadResult>& results)
{
    std::vector<std::string> paths;
    for (const ItemReadResult& result : results) paths.push_back(WideToUtf8(result.Path));
    return paths;
}
} // namespace

TEST(ItemReadQueue, ReadsComeByTierInTheirOrderAndStaleOnesAreDroppedAtEveryStep)
{
    using K = CollectionKind;
    using T = ReadTier;
    ItemReadQueue queue;
    queue.NewGeneration(K::Floating, 1);
    queue.NewGeneration(K::Menus, 1);
    queue.Push({Request(K::Menus, 1, T::Later, L"sub"), Request(K::Floating, 1, T::FirstSight, L"f1"),
                Request(K::Menus, 1, T::FirstSight, L"top"), Request(K::Icons, 0, T::Icons, L"icon")});
    queue.Push({Request(K::Floating, 1, T::FirstSight, L"f2")});
    EXPECT_FALSE(queue.Idle());

    // The first request is read, then Floating is loaded again: its other request is never read.
    const ItemReadRequest first = *queue.Wait();
    EXPECT_EQ(first.Path, L"icon");
    const ItemReadRequest second = *queue.Wait();
    EXPECT_EQ(second.Path, L"f1");
    queue.NewGeneration(K::Floating, 2);
    EXPECT_TRUE(queue.Deliver(ResultFor(first))) << "the first result of a batch asks for it to be taken";
    EXPECT_FALSE(queue.Deliver(ResultFor(second))) << "a result of a replaced load is dropped";
    const ItemReadRequest third = *queue.Wait();
    EXPECT_EQ(third.Path, L"top");
    EXPECT_FALSE(queue.Deliver(ResultFor(third))) << "one notice per batch";

    // Two readers: a result that overtakes an earlier one waits for it.
    const ItemReadRequest fourth = *queue.Wait();
    EXPECT_EQ(fourth.Path, L"sub");
    queue.Push({Request(K::Icons, 0, T::Icons, L"icon2")});
    const ItemReadRequest fifth = *queue.Wait();
    queue.Deliver(ResultFor(fifth));
    EXPECT_EQ(PathsOf(queue.TakeResults(10)), (std::vector<std::string>{"icon", "top"}));
    queue.Deliver(ResultFor(fourth));
    EXPECT_EQ(PathsOf(queue.TakeResults(1)), (std::vector<std::string>{"sub"}));
    EXPECT_TRUE(queue.ResultsWaiting());
    // A load replaced after the delivery drops its results too.
    queue.NewGeneration(K::Icons, 1);
    EXPECT_TRUE(queue.TakeResults(10).empty());
    EXPECT_TRUE(queue.Idle());

    // Once stopped, the reader's wait ends.
    queue.Push({Request(K::Icons, 0, T::Icons, L"late")});
    queue.Stop();
    EXPECT_FALSE(queue.Wait().has_value());
}
