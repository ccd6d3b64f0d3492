#include <gtest/gtest.h>

#include "base/OsVersion.h"

TEST(OsVersionTests, FamiliesAndClasses)
{
    const OsVersion win98{OsPlatform::Win9x, 4, 10};
    const OsVersion nt4{OsPlatform::Nt, 4, 0};
    const OsVersion win2000{OsPlatform::Nt, 5, 0};
    const OsVersion xp{OsPlatform::Nt, 5, 1};
    const OsVersion server2003{OsPlatform::Nt, 5, 2};
    const OsVersion vista{OsPlatform::Nt, 6, 0};
    const OsVersion win10{OsPlatform::Nt, 10, 0};

    EXPECT_FALSE(IsNtFamily(win98));
    EXPECT_FALSE(IsNt5OrLater(nt4));
    EXPECT_TRUE(IsNt5OrLater(win2000));
    EXPECT_FALSE(IsXpClass(win2000));
    EXPECT_TRUE(IsXpClass(xp));
    EXPECT_TRUE(IsXpClass(server2003));
    EXPECT_FALSE(IsXpClass(vista));
    EXPECT_FALSE(IsNt51OrLater(win2000));
    EXPECT_TRUE(IsNt51OrLater(xp));
    EXPECT_TRUE(IsNt51OrLater(win10));
    EXPECT_TRUE(IsNt6Exactly(vista));
    EXPECT_FALSE(IsNt6Exactly(win10));
    EXPECT_TRUE(IsNt6OrLater(win10));
    EXPECT_FALSE(IsNt6OrLater(OsVersion{OsPlatform::Win9x, 6, 0}));
}

TEST(OsVersionTests, RunningSystemIsNt)
{
    const OsVersion current = CurrentOsVersion();
    EXPECT_TRUE(IsNtFamily(current));
    EXPECT_GE(current.major, 5u);
}
