#include <gtest/gtest.h>

#include "components/DirMonRules.h"

using enum TDirMonType;

TEST(DirMonRulesTests, EachKindHasItsSystemFlag)
{
    EXPECT_EQ(NotifyMaskFromTypes({}), 0x000u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcFileName}), 0x001u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcDirName}), 0x002u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcAttributes}), 0x004u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcSize}), 0x008u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcLastWrite}), 0x010u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcSecurity}), 0x100u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcFileName, dmcDirName}), 0x003u);
    EXPECT_EQ(NotifyMaskFromTypes({dmcFileName, dmcDirName, dmcAttributes, dmcSize, dmcLastWrite, dmcSecurity}),
              0x11Fu);
}

TEST(DirMonRulesTests, MaskReadsBackAsTheSameSet)
{
    const TDirMonTypes sets[] = {{},
                                 {dmcFileName},
                                 {dmcSecurity},
                                 {dmcFileName, dmcSecurity},
                                 {dmcDirName, dmcSize, dmcLastWrite},
                                 {dmcFileName, dmcDirName, dmcAttributes, dmcSize, dmcLastWrite, dmcSecurity}};
    for (const TDirMonTypes& set : sets) EXPECT_EQ(TypesFromNotifyMask(NotifyMaskFromTypes(set)), set);
    // 0x020 (the system's last-access flag) and other bits are no change kind of the monitor.
    EXPECT_TRUE(TypesFromNotifyMask(0x020).Empty());
    EXPECT_EQ(TypesFromNotifyMask(0xFFFFFFFF), (TDirMonTypes{dmcFileName, dmcDirName, dmcAttributes, dmcSize,
                                                             dmcLastWrite, dmcSecurity}));
}

TEST(DirMonRulesTests, LongPathsTakeTheExtendedForm)
{
    const std::wstring tail(260, L'a');
    EXPECT_EQ(ExtendedLengthPath(L"C:\\Data\\Icons"), L"C:\\Data\\Icons");
    EXPECT_EQ(ExtendedLengthPath(L""), L"");
    const std::wstring justShort = L"C:\\" + std::wstring(kPlainDirectoryPathLimit - 4, L'b');
    EXPECT_EQ(ExtendedLengthPath(justShort), justShort);
    const std::wstring justLong = justShort + L"b";
    EXPECT_EQ(ExtendedLengthPath(justLong), L"\\\\?\\" + justLong);

    EXPECT_EQ(ExtendedLengthPath(L"C:\\x\\" + tail), L"\\\\?\\C:\\x\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"d:/x/" + tail), L"\\\\?\\d:\\x\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\" + tail), L"\\\\?\\UNC\\server\\share\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\C:\\" + tail), L"\\\\?\\C:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\.\\C:\\" + tail), L"\\\\.\\C:\\" + tail);
    EXPECT_EQ(ExtendedLengthPath(L"relative\\" + tail), L"relative\\" + tail);
}
