// "HotKeys.xml" written and read through the system's XML DOM.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hotkeys/HotKeysXml.h"
#include "unit/items/ItemTestFiles.h"

using namespace item_test;

namespace {
std::vector<std::string> RowTexts(const HotKeysFileContent& content)
{
    std::vector<std::string> rows;
    for (const HotKeyRow& row : content.Rows) rows.push_back(WideToUtf8(row.HotKey + L"|" + row.Path));
    return rows;
}
} // namespace

class HotKeysXmlTest : public ComTest {
protected:
    TempFolder m_folder;
    std::wstring File(const char* text)
    {
        const std::wstring path = m_folder / L"HotKeys.xml";
        WriteBytes(path, text);
        return path;
    }
};

TEST_F(HotKeysXmlTest, WrittenInGroupOrderAndReadBack)
{
    const std::wstring path = m_folder / L"HotKeys.xml";
    WriteBytes(path, "an older file");
    ASSERT_TRUE(WriteHotKeysFile(path, {L"Ctrl + Alt + N", L"Icons\\Notepad.lnk", L"unpaired"}, {},
                                 {L"Alt + \x13", L"Floating\\\x00E9t\x00E9.lnk", L"Shift + p", L"Floating\\f1.url"}));
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\"?>", 0), 0u) << bytes;
    const std::size_t icon = bytes.find("type=\"Icon\""), menu = bytes.find("type=\"Menu\""),
                      floating = bytes.find("type=\"Float\"");
    EXPECT_LT(icon, menu);
    EXPECT_LT(menu, floating);
    EXPECT_NE(floating, std::string::npos);
    EXPECT_EQ(bytes.find("unpaired"), std::string::npos);

    const HotKeysFileContent content = ReadHotKeysFile(path);
    EXPECT_EQ(content.State, HotKeysFileState::Read);
    EXPECT_EQ(RowTexts(content), (std::vector<std::string>{"Ctrl + Alt + N|Icons\\Notepad.lnk",
                                                           "Alt + \xEF\xBF\xBD|Floating\\\xC3\xA9t\xC3\xA9.lnk",
                                                           "Shift + p|Floating\\f1.url"}));

    ASSERT_TRUE(WriteHotKeysFile(path, {}, {}, {}));
    EXPECT_EQ(ReadHotKeysFile(path).State, HotKeysFileState::Read);
    EXPECT_TRUE(ReadHotKeysFile(path).Rows.empty());
}

TEST_F(HotKeysXmlTest, ReadingHandEditedAndForeignFiles)
{
    EXPECT_EQ(ReadHotKeysFile(m_folder / L"none.xml").State, HotKeysFileState::Missing);
    EXPECT_EQ(ReadHotKeysFile(File("")).State, HotKeysFileState::NoNode);
    EXPECT_EQ(ReadHotKeysFile(File("<Application Name=\"Orvo Launcher\"><item")).State, HotKeysFileState::NoNode);

    const HotKeysFileContent foreign =
        ReadHotKeysFile(File("<Application Name=\"Other\"><item hotkey=\"Alt + A\" path=\"a\"/></Application>"));
    EXPECT_EQ(foreign.State, HotKeysFileState::Foreign);
    EXPECT_TRUE(foreign.Rows.empty());
    EXPECT_EQ(ReadHotKeysFile(File("<Application><item hotkey=\"Alt + A\"/></Application>")).State,
              HotKeysFileState::Foreign);

    // Every node with a hotkey is a row, at any depth, in document order; a missing path is empty.
    const HotKeysFileContent edited = ReadHotKeysFile(
        File("<?xml version=\"1.0\"?><!-- by hand --><Application Name=\"Orvo Launcher\">"
             "<item type=\"Icon\"><item hotkey=\"Alt + A\" path=\"Icons\\a.lnk\"><x><item hotkey=\"Alt + B\"/></x></item>"
             "text</item><item hotkey=\"Alt + C\" path=\"c\"/></Application>"));
    EXPECT_EQ(edited.State, HotKeysFileState::Read);
    EXPECT_EQ(RowTexts(edited), (std::vector<std::string>{"Alt + A|Icons\\a.lnk", "Alt + B|", "Alt + C|c"}));
}

TEST_F(HotKeysXmlTest, AFileThatCannotBeReplacedStaysAsItWas)
{
    const std::wstring path = File("<Application Name=\"Orvo Launcher\"/>");
    // Another program has it open without sharing.
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WriteHotKeysFile(path, {L"Alt + A", L"a"}, {}, {}));
    ::CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(path), "<Application Name=\"Orvo Launcher\"/>");
    EXPECT_FALSE(WriteHotKeysFile(m_folder / L"missing\\HotKeys.xml", {}, {}, {}));
}
