#include <gtest/gtest.h>

#include <windows.h>

#include "app/Options.h"
#include "app/Registry.h"
#include "app/Settings.h"
#include "common/PerUserState.h"
#include "common/TempFolder.h"

namespace {
bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
} // namespace

TEST(IniFileStore, MissingFileGivesDefaultsWithoutCreatingIt)
{
    TempFolder folder;
    const IniFile ini(folder / L"absent.ini");
    EXPECT_EQ(ini.Read(keys::ShowTime), 3);
    EXPECT_TRUE(ini.Read(keys::OpenSystemMenu));
    EXPECT_FALSE(ini.Read(keys::AutoStart));
    EXPECT_EQ(ini.ReadString(L"Option", L"DataFolder", L"C:\\x\\"), L"C:\\x\\");
    EXPECT_TRUE(ini.SectionNames().empty());
    EXPECT_FALSE(ini.EraseSection(L"Option"));
    EXPECT_FALSE(Exists(ini.FileName()));
}

TEST(IniFileStore, ValueFormsRoundTripAndBadValuesReadAsDefault)
{
    TempFolder folder;
    const IniFile ini(folder / L"s.ini");
    ASSERT_TRUE(ini.Write(keys::AutoStart, true));
    ASSERT_TRUE(ini.Write(keys::MaxIconInRow, 17));
    ASSERT_TRUE(ini.WriteString(L"Option", L"Sensitivity", L"0x0A"));
    ASSERT_TRUE(ini.WriteString(L"Option", L"ShowTime", L"soon"));
    ASSERT_TRUE(ini.WriteString(L"Option", L"OneClickToActivate", L"2"));
    EXPECT_TRUE(ini.Read(keys::AutoStart));
    EXPECT_EQ(ini.ReadString(L"Option", L"AutoStart", L""), L"1");
    EXPECT_EQ(ini.Read(keys::MaxIconInRow), 17);
    EXPECT_EQ(ini.Read(keys::Sensitivity), 10);
    EXPECT_EQ(ini.Read(keys::ShowTime), 3);            // not a number: the default
    EXPECT_TRUE(ini.Read(keys::OneClickToActivate));  // any non-zero integer is true
    ASSERT_TRUE(ini.Write(keys::AutoStart, false));
    EXPECT_EQ(ini.ReadString(L"Option", L"AutoStart", L""), L"0");
}

TEST(IniFileStore, NewFileIsUtf16AndKeepsNonAnsiText)
{
    TempFolder folder;
    const IniFile ini(folder / L"u.ini");
    const std::wstring path = L"C:\\\u30c7\u30fc\u30bf\\\u00c9t\u00e9 \u0416\\";
    ASSERT_TRUE(ini.Write(keys::DataFolder, path));
    const std::string bytes = ReadFileBytes(ini.FileName());
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    EXPECT_EQ(ini.Read(keys::DataFolder), path);
}

TEST(IniFileStore, ExistingAnsiFileKeepsItsEncoding)
{
    TempFolder folder;
    const std::wstring name = folder / L"a.ini";
    WriteFileBytes(name, "[Option]\r\nShowTime=7\r\n");
    const IniFile ini(name);
    EXPECT_EQ(ini.Read(keys::ShowTime), 7);
    ASSERT_TRUE(ini.Write(keys::MaxIconInRow, 12));
    const std::string bytes = ReadFileBytes(name);
    EXPECT_EQ(bytes.rfind("[Option]", 0), 0u) << "no byte-order mark may be added to an existing file";
    EXPECT_NE(bytes.find("MaxIconInRow=12"), std::string::npos);
}

TEST(IniFileStore, AnAnsiFileBecomesUtf16BeforeAValueItsCodePageLacksIsWritten)
{
    TempFolder folder;
    const std::wstring name = folder / L"a.ini";
    const std::string ansi = "; kept\r\n[Option]\r\nShowTime=7\r\nCaption=Caf\xE9\r\n[StartGroup_Work]\r\n"
                             "TotalFile=1\r\n1=C:\\a b\\x.lnk\r\n";
    WriteFileBytes(name, ansi);
    const IniFile ini(name);
    // Whatever the byte 0xE9 is in this code page, it reads the same afterwards.
    const std::wstring caption = ini.ReadString(L"Option", L"Caption", L"");

    // No ANSI code page holds a character beyond the basic plane.
    const std::wstring section = L"StartGroup_\u30c7\u30fc\u30bf \U0001F600";
    const std::wstring value = L"C:\\\u0416\u0443\u043a\\\U0001F600 \u00e9t\u00e9.lnk";
    ASSERT_TRUE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(ini.WriteString(section.c_str(), L"1", value));
    EXPECT_EQ(ReadFileBytes(name), ansi) << "a file that cannot be replaced is left as it was";
    ASSERT_TRUE(::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL));

    ASSERT_TRUE(ini.WriteString(section.c_str(), L"1", value));
    const std::string bytes = ReadFileBytes(name);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xFE);
    EXPECT_EQ(ini.ReadString(section.c_str(), L"1", L""), value);
    EXPECT_EQ(ini.Read(keys::ShowTime), 7);
    EXPECT_EQ(ini.ReadString(L"Option", L"Caption", L""), caption);
    EXPECT_EQ(ini.ReadString(L"StartGroup_Work", L"1", L""), L"C:\\a b\\x.lnk");
    EXPECT_EQ(ini.SectionNames(), (std::vector<std::wstring>{L"Option", L"StartGroup_Work", section}));
    // Every line stays, the comment too, in its place.
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    EXPECT_EQ(text.rfind(L"; kept\r\n[Option]\r\nShowTime=7\r\nCaption=" + caption + L"\r\n[StartGroup_Work]", 0), 0u);
    EXPECT_FALSE(Exists(folder / (L"a.ini." + std::to_wstring(::GetCurrentProcessId()) + L".tmp")));
}

TEST(IniFileStore, SectionsListAndErase)
{
    TempFolder folder;
    const IniFile ini(folder / L"g.ini");
    ini.WriteString(L"StartGroup_Work", L"Count", L"0");
    ini.WriteString(L"Option", L"ShowTime", L"3");
    ini.WriteString(L"StartGroup_\u00c9t\u00e9", L"Count", L"0");
    auto names = ini.SectionNames();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], L"StartGroup_Work");
    EXPECT_EQ(names[2], L"StartGroup_\u00c9t\u00e9");
    EXPECT_FALSE(ini.EraseSection(L"Nothing"));
    EXPECT_TRUE(ini.EraseSection(L"StartGroup_Work"));
    names = ini.SectionNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], L"Option");
}

TEST(IniWritability, TestLeavesNoTraceAndFailsWhereNothingCanBeWritten)
{
    TempFolder folder;
    const std::wstring name = folder / L"w.ini";
    EXPECT_TRUE(IsIniWritable(name));
    EXPECT_TRUE(Exists(name));  // the test creates the file
    for (const auto& section : IniFile(name).SectionNames()) EXPECT_NE(section, L"OrvoTestIni");

    EXPECT_FALSE(IsIniWritable(L""));
    EXPECT_FALSE(IsIniWritable(folder / L"no such folder\\x.ini"));
    // A folder of that name is no settings file.
    ::CreateDirectoryW((folder / L"dir.ini").c_str(), nullptr);
    EXPECT_FALSE(IsIniWritable(folder / L"dir.ini"));
}

TEST(SettingsFileChoice, ArgumentThenPerUserFolder)
{
    const ScopedPerUserState perUser;
    TempFolder folder;
    // A full path on the command line is used when it can be written, and makes no per-user folder.
    EXPECT_EQ(FindIniFileName(L"Orvo Solution", L"Orvo Launcher", {L"-x", folder / L"cfg.txt"}), folder / L"cfg.ini");
    EXPECT_EQ(::GetFileAttributesW(ScopedPerUserState::MakerFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    // An unwritable argument falls back to the per-user file, named after the program.
    const std::wstring fallback =
        FindIniFileName(L"Orvo Solution", L"Orvo Launcher", {folder / L"missing\\cfg.ini"});
    EXPECT_NE(fallback.find(L"\\Orvo Solution\\Orvo Launcher\\unit_app.ini"), std::wstring::npos) << fallback;
    // Only switches: the per-user file too.
    EXPECT_EQ(FindIniFileName(L"Orvo Solution", L"Orvo Launcher", {L"/s"}), fallback);
    EXPECT_EQ(GetSettingsFolder(L"Orvo Solution", L"Orvo Launcher") + L"\\unit_app.ini", fallback);
}

TEST(OptionLoading, DefaultsClampAndDataFolder)
{
    TempFolder folder;
    const IniFile ini(folder / L"o.ini");
    std::wstring dataFolder = folder.Path();  // the settings file's
    LauncherOptions options = LoadOptions(ini, dataFolder);
    EXPECT_EQ(options.maxIconInRow, 10);
    EXPECT_EQ(options.sensitivity, 5);
    EXPECT_TRUE(options.floatRight);
    EXPECT_TRUE(options.popupTop);
    EXPECT_EQ(options.disableKey, 3);
    EXPECT_EQ(options.floatRightKey, 1);
    EXPECT_EQ(dataFolder, folder.Path() + L"\\");
    EXPECT_FALSE(options.dataFolderStored);

    TempFolder elsewhere;
    ini.Write(keys::MaxIconInRow, 50);
    ini.Write(keys::ExitDialog, true);
    ini.Write(keys::DataFolder, elsewhere.Path());
    ini.Write(keys::HKPopupMod, 3);
    ini.Write(keys::HKPopupVir, 0x4D);
    ini.Write(keys::HKIconWinMod, 2);
    options = LoadOptions(ini, dataFolder);
    EXPECT_EQ(options.maxIconInRow, 30);
    EXPECT_TRUE(options.exitDialog);
    EXPECT_EQ(dataFolder, elsewhere.Path() + L"\\");
    EXPECT_TRUE(options.popupHotkey.IsSet());
    EXPECT_FALSE(options.iconWindowHotkey.IsSet());  // only the modifiers are set
    ini.Write(keys::MaxIconInRow, 1);
    EXPECT_EQ(LoadOptions(ini, dataFolder).maxIconInRow, 5);
}

TEST(OptionLoading, EdgesArePairedAndKeyIndexesAndDelayKeptInRange)
{
    TempFolder folder;
    const IniFile ini(folder / L"o.ini");
    std::wstring dataFolder = L"C:\\data";
    // Left: both set, the float key wins and the popup key is not taken. Top: only the popup key
    // (its default). Right: float off by hand, popup on. Bottom: neither.
    ini.Write(keys::FloatLeft, true);
    ini.Write(keys::PopupLeft, true);
    ini.Write(keys::FloatRight, false);
    ini.Write(keys::PopupRight, true);
    struct Range {
        int disableKey, floatRightKey, sensitivity;
        int wantDisable, wantFloatRight, wantSensitivity;
    };
    for (const Range& r : {Range{9, -2, 0, 3, 0, 1}, Range{2, 3, 40, 2, 3, 11}, Range{0, 1, 7, 0, 1, 7}}) {
        ini.Write(keys::DisableKey, r.disableKey);
        ini.Write(keys::FloatRightKey, r.floatRightKey);
        ini.Write(keys::Sensitivity, r.sensitivity);
        const LauncherOptions o = LoadOptions(ini, dataFolder);
        EXPECT_EQ(o.disableKey, r.wantDisable);
        EXPECT_EQ(o.floatRightKey, r.wantFloatRight);
        EXPECT_EQ(o.sensitivity, r.wantSensitivity);
        EXPECT_TRUE(o.floatLeft && !o.popupLeft);
        EXPECT_TRUE(!o.floatTop && o.popupTop);
        EXPECT_TRUE(!o.floatRight && o.popupRight);
        EXPECT_TRUE(!o.floatBottom && !o.popupBottom);
    }
}

TEST(RunEntryRegistry, CreateKeepDelete)
{
    const RunEntry entry{L"Orvo Launcher unit-test", L"\"C:\\a.exe\""};
    const ScopedPerUserState perUser({entry.valueName});
    SetAutoStart(false, entry);
    EXPECT_FALSE(IsAutoStart(entry));
    SetAutoStart(true, entry);
    EXPECT_TRUE(IsAutoStart(entry));

    // An existing value is never rewritten, even with another command line.
    SetAutoStart(true, RunEntry{entry.valueName, L"\"C:\\other.exe\""});
    wchar_t value[MAX_PATH] = {};
    DWORD size = sizeof(value);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kRunKey, entry.valueName.c_str(), RRF_RT_REG_SZ, nullptr, value, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(value, L"\"C:\\a.exe\"");

    SetAutoStart(false, entry);
    EXPECT_FALSE(IsAutoStart(entry));
}
