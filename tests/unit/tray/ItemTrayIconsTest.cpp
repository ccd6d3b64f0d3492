#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <map>
#include <vector>

#include "items/CollectionLoader.h"
#include "tray/ItemTrayIcons.h"
#include "unit/items/ItemTestFiles.h"

namespace {
struct Call {
    DWORD message;
    UINT id;
    UINT callback;
    std::wstring tip;
    bool hasIcon;
    bool hasIdentity;
    GUID identity;
};

class FakeHost : public TrayHost {
public:
    bool AreCollectionsReady() const override { return ready; }
    void ClearMenuOpen() override { ++menuOpenCleared; }
    void HideIconWindow() override { ++hidden; }
    void OpenMainMenu() override { ++menus; }
    bool IsShiftDown() const override { return false; }
    bool OneClickToActivate() const override { return oneClick; }
    bool TrayIconsDisabled() const override { return disabled; }

    bool ready = true, oneClick = false, disabled = false;
    int menuOpenCleared = 0, hidden = 0, menus = 0;
};

class ItemTrayIconsTest : public item_test::ComTest {
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        item_test::MakeFolder(m_folder / L"Icons");
        item_test::MakeFolder(m_folder / L"Menus");
        item_test::MakeFolder(m_folder / L"Floating");
        for (const wchar_t* name : {L"b.txt", L"a.txt", L"c.txt"}) item_test::WriteBytes(m_folder / (std::wstring(L"Icons\\") + name), "x");
        m_loader.SetDataFolder(m_folder.Path() + L"\\");
        m_loader.AttachIconsSurface(&m_tray);
    }

    std::vector<Call> Calls(DWORD message) const
    {
        std::vector<Call> result;
        for (const auto& call : m_calls)
            if (call.message == message) result.push_back(call);
        return result;
    }

    item_test::TempFolder m_folder;
    std::vector<Call> m_calls;
    FakeHost m_host;
    // Whether the shell takes a call: a seam for shells that refuse identities.
    std::function<bool(const NOTIFYICONDATAW&)> m_accepts = [](const NOTIFYICONDATAW&) { return true; };
    TItemTrayIcons m_tray{nullptr, m_host, [this](DWORD message, NOTIFYICONDATAW& data) {
                              const bool identity = (data.uFlags & NIF_GUID) != 0;
                              EXPECT_EQ(data.cbSize, identity ? NOTIFYICONDATAW_V3_SIZE : NOTIFYICONDATAW_V2_SIZE);
                              m_calls.push_back({message, data.uID, data.uCallbackMessage, data.szTip,
                                                 data.hIcon != nullptr, identity, data.guidItem});
                              return m_accepts(data);
                          }};
    CollectionLoader m_loader;
};
} // namespace

TEST_F(ItemTrayIconsTest, IconsAreAddedInTableOrderWithTheirMessagesAndTips)
{
    m_loader.LoadIcons();
    const auto adds = Calls(NIM_ADD);
    ASSERT_EQ(adds.size(), 3u);
    // c, b, a: Ids 100, 101, 102 and callback messages WM_USER + 1 + Id.
    EXPECT_EQ(adds[0].tip, L"c");
    EXPECT_EQ(adds[1].tip, L"b");
    EXPECT_EQ(adds[2].tip, L"a");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(adds[i].id, 100 + i);
        EXPECT_EQ(adds[i].callback, 1125 + i);
        EXPECT_TRUE(adds[i].hasIcon);
    }
}

TEST_F(ItemTrayIconsTest, RestoreHideAndRebuildOrders)
{
    m_loader.LoadIcons();
    m_calls.clear();
    // After the taskbar restarts: last table index first.
    m_tray.ShowAllItemTrayIcons(m_loader.Icons().Items());
    auto adds = Calls(NIM_ADD);
    ASSERT_EQ(adds.size(), 3u);
    EXPECT_EQ(adds[0].id, 102u);
    EXPECT_EQ(adds[2].id, 100u);
    // Hiding them: first table index first.
    m_calls.clear();
    m_tray.HideAllItemTrayIcons(m_loader.Icons().Items());
    auto deletes = Calls(NIM_DELETE);
    ASSERT_EQ(deletes.size(), 3u);
    EXPECT_EQ(deletes[0].id, 100u);
    EXPECT_EQ(deletes[2].id, 102u);

    // A removed file makes the load rebuild: every icon goes, then the remaining two come back.
    ::DeleteFileW((m_folder / L"Icons\\b.txt").c_str());
    m_calls.clear();
    m_loader.LoadIcons();
    EXPECT_EQ(Calls(NIM_DELETE).size(), 3u);
    adds = Calls(NIM_ADD);
    ASSERT_EQ(adds.size(), 2u);
    EXPECT_EQ(adds[0].tip, L"c");
    EXPECT_EQ(adds[1].tip, L"a");
    EXPECT_EQ(adds[1].id, 101u);

    // An added file only adds its icon.
    item_test::WriteBytes(m_folder / L"Icons\\d.txt", "x");
    m_calls.clear();
    m_loader.LoadIcons();
    EXPECT_TRUE(Calls(NIM_DELETE).empty());
    adds = Calls(NIM_ADD);
    ASSERT_EQ(adds.size(), 1u);
    EXPECT_EQ(adds[0].tip, L"d");
    EXPECT_EQ(adds[0].id, 102u);
}

TEST_F(ItemTrayIconsTest, DisabledIconsAreRecordedButNotAdded)
{
    m_host.disabled = true;
    m_loader.LoadIcons();
    EXPECT_TRUE(Calls(NIM_ADD).empty());
    ASSERT_NE(m_tray.RecordOf(100), nullptr);
    EXPECT_EQ(m_tray.RecordOf(100)->uCallbackMessage, 1125u);
    m_tray.ShowAllItemTrayIcons(m_loader.Icons().Items());
    EXPECT_TRUE(Calls(NIM_ADD).empty()) << "nothing is shown while the option is on";
    m_host.disabled = false;
    m_tray.ShowAllItemTrayIcons(m_loader.Icons().Items());
    EXPECT_EQ(Calls(NIM_ADD).size(), 3u);
}

TEST_F(ItemTrayIconsTest, MouseMessagesFollowTheOptionsAndTheReadyFlag)
{
    m_loader.LoadIcons();
    const auto& items = m_loader.Icons().Items();
    EXPECT_FALSE(m_tray.ItemTrayMessage(1124, WM_RBUTTONDOWN, items)) << "not an item message";
    EXPECT_FALSE(m_tray.ItemTrayMessage(1128, WM_RBUTTONDOWN, items)) << "past the last item";

    m_host.ready = false;
    EXPECT_TRUE(m_tray.ItemTrayMessage(1125, WM_RBUTTONDOWN, items));
    EXPECT_EQ(m_host.menus, 0) << "ignored until the collections are loaded";

    m_host.ready = true;
    EXPECT_TRUE(m_tray.ItemTrayMessage(1127, WM_RBUTTONDOWN, items));
    EXPECT_EQ(m_host.menus, 1);
    EXPECT_TRUE(m_tray.ItemTrayMessage(1126, WM_LBUTTONDOWN, items));
    EXPECT_EQ(m_host.hidden, 1);
    EXPECT_EQ(m_host.menuOpenCleared, 1);
}

TEST_F(ItemTrayIconsTest, EachEntryKeepsItsIdentityThroughARenumberingRebuild)
{
    m_loader.LoadIcons();
    std::map<std::wstring, GUID> before;
    for (const auto& add : Calls(NIM_ADD)) {
        ASSERT_TRUE(add.hasIdentity);
        before[add.tip] = add.identity;
    }
    EXPECT_NE(before[L"a"], before[L"b"]);

    // Removing b renumbers a (102 becomes 101); a renamed file is a new identity.
    ::DeleteFileW((m_folder / L"Icons\\b.txt").c_str());
    ::MoveFileW((m_folder / L"Icons\\c.txt").c_str(), (m_folder / L"Icons\\e.txt").c_str());
    m_calls.clear();
    m_loader.LoadIcons();
    for (const auto& add : Calls(NIM_ADD)) {
        if (add.tip == L"a") {
            EXPECT_EQ(add.identity, before[L"a"]);
            EXPECT_EQ(add.id, 101u);
        } else {
            EXPECT_EQ(add.tip, L"e");
            EXPECT_NE(add.identity, before[L"c"]);
        }
    }
    // Removing and changing an icon name it by its identity too.
    for (const auto& remove : Calls(NIM_DELETE)) EXPECT_TRUE(remove.hasIdentity);
}

TEST_F(ItemTrayIconsTest, AnIdentityTheShellRefusesFallsBackToTheIdOnce)
{
    // No taskbar yet: every add fails, and nothing is given up.
    m_accepts = [](const NOTIFYICONDATAW&) { return false; };
    m_loader.LoadIcons();
    m_accepts = [](const NOTIFYICONDATAW& data) { return (data.uFlags & NIF_GUID) == 0; };
    m_calls.clear();
    m_tray.ShowAllItemTrayIcons(m_loader.Icons().Items());
    const auto adds = Calls(NIM_ADD);
    ASSERT_EQ(adds.size(), 9u) << "the identity, once more after removing a stale icon, then the id";
    EXPECT_TRUE(adds[0].hasIdentity && adds[1].hasIdentity);
    EXPECT_FALSE(adds[2].hasIdentity);

    // From then on the icons go by their ids alone: no identity is tried again.
    m_calls.clear();
    m_tray.HideAllItemTrayIcons(m_loader.Icons().Items());
    m_tray.ShowAllItemTrayIcons(m_loader.Icons().Items());
    ASSERT_EQ(Calls(NIM_ADD).size(), 3u);
    for (const auto& call : m_calls) EXPECT_FALSE(call.hasIdentity);
}
