#include "gui/ProcessCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// Each test has its own key type, hence its own store: the process-wide
// stores never see another test's entries.
template <int Tag>
struct Key {
    int a;
    int b;
    bool operator==(const Key& o) const { return a == o.a && b == o.b; }
};

struct Counted {
    explicit Counted(int v, std::atomic<int>* deaths = nullptr) : value(v), deaths(deaths) {}
    ~Counted()
    {
        if (deaths)
            ++*deaths;
    }
    int value;
    std::atomic<int>* deaths;
};

}   // namespace

TEST(ProcessCache, FindsByTheWholeKey)
{
    using Cache = ProcessCache<Key<1>, Counted>;
    EXPECT_EQ(Cache::Find({1, 4}), nullptr);
    Counted* one = Cache::Insert({1, 4}, std::make_unique<Counted>(10));
    ASSERT_NE(one, nullptr);
    Counted* other = Cache::Insert({1, 8}, std::make_unique<Counted>(20));
    ASSERT_NE(other, nullptr);
    EXPECT_NE(one, other);
    EXPECT_EQ(Cache::Find({1, 4}), one);
    EXPECT_EQ(Cache::Find({1, 8}), other);
    EXPECT_EQ(Cache::Find({2, 4}), nullptr);
    EXPECT_EQ(Cache::EntryCount(), 2);
}

TEST(ProcessCache, TheFirstValueForAKeyWinsAndTheLaterOneIsDeleted)
{
    using Cache = ProcessCache<Key<2>, Counted>;
    // Static: the winner is deleted with the process-wide store at exit.
    static std::atomic<int> deaths{0};
    Counted* first = Cache::Insert({5, 5}, std::make_unique<Counted>(1, &deaths));
    EXPECT_EQ(Cache::Insert({5, 5}, std::make_unique<Counted>(2, &deaths)), first);
    EXPECT_EQ(deaths.load(), 1);
    EXPECT_EQ(first->value, 1);
    EXPECT_EQ(Cache::Insert({5, 6}, nullptr), nullptr);
    EXPECT_EQ(Cache::EntryCount(), 1);
}

TEST(ProcessCache, MakesOnFirstUseOnlyAndCachesNoFailure)
{
    using Cache = ProcessCache<Key<3>, Counted>;
    int makes = 0;
    EXPECT_EQ(Cache::FindOrMake(
                  {7, 0},
                  [&] {
        ++makes;
        return std::unique_ptr<Counted>();
                  }),
              nullptr);
    EXPECT_EQ(Cache::EntryCount(), 0);
    Counted* made = Cache::FindOrMake({7, 0}, [&] {
        ++makes;
        return std::make_unique<Counted>(70);
    });
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->value, 70);
    EXPECT_EQ(Cache::FindOrMake(
                  {7, 0},
                  [&] {
        ++makes;
        return std::make_unique<Counted>(71);
                  }),
              made);
    EXPECT_EQ(makes, 2);
    EXPECT_EQ(Cache::Find({7, 0}), made);
}

TEST(ProcessCache, EditorsOnManyThreadsShareOneValue)
{
    using Cache = ProcessCache<Key<4>, Counted>;
    constexpr int kThreads = 8;
    std::atomic<int> makes{0};
    // Static: the winner is deleted with the process-wide store at exit.
    static std::atomic<int> deaths{0};
    std::vector<Counted*> made(kThreads * 2, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            made[2 * t] = Cache::FindOrMake({1, 1}, [&] {
                ++makes;
                return std::make_unique<Counted>(t);
            });
            made[2 * t + 1] = Cache::Insert({2, 2}, std::make_unique<Counted>(t, &deaths));
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(makes.load(), 1);
    EXPECT_EQ(deaths.load(), kThreads - 1);
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(made[2 * t], made[0]);
        EXPECT_EQ(made[2 * t + 1], made[1]);
    }
    EXPECT_EQ(Cache::EntryCount(), 2);
}
