// The drop target on a real window: WM_DROPFILES as the shell sends it.

#include <gtest/gtest.h>

#include <windows.h>

#include "common/DropFiles.h"
#include "components/DragDrop.h"
#include "components/DragDropRules.h"

TEST(DropTargetRules, ADropOnAChildsLeftOrTopEdgeIsNotTheChilds)
{
    const std::vector<ChildBounds> children = {{10, 10, 50, 20}, {0, 0, 200, 100}};
    struct Case {
        int x, y;
        std::optional<std::size_t> child;
    };
    const Case cases[] = {
        {11, 11, 0}, {59, 29, 0}, {10, 15, 1}, {30, 10, 1}, {60, 15, 1}, {30, 30, 1}, {0, 50, std::nullopt},
        {199, 99, 1}, {200, 50, std::nullopt}, {-1, -1, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ChildIndexAt(children, c.x, c.y), c.child) << c.x << "," << c.y;
}

namespace {
class DropTargetTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        m_target.Create(m_parent, RECT{0, 0, 300, 200});
        m_child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 20, 30, 100, 50, m_target.Handle(),
                                    nullptr, nullptr, nullptr);
        m_target.OnDropFiles = [this](const DroppedFiles& files, POINT at) {
            m_events.push_back({L"files", files, at});
        };
        m_target.OnDragDrop = [this](const DroppedFiles& files, POINT at) { m_events.push_back({L"panel", files, at}); };
        m_target.SetChildDragDrop(m_child, [this](const DroppedFiles& files, POINT at) {
            m_events.push_back({L"child", files, at});
        });
    }
    void TearDown() override { ::DestroyWindow(m_parent); }

    void Drop(const std::vector<std::wstring>& files, POINT at)
    {
        ::SendMessageW(m_target.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDropFiles(files, at)), 0);
    }

    struct Event {
        std::wstring who;
        DroppedFiles files;
        POINT at;
    };
    HWND m_parent = nullptr;
    HWND m_child = nullptr;
    TFileDropTarget m_target;
    std::vector<Event> m_events;
};
} // namespace

TEST_F(DropTargetTest, OneDropRaisesTheFilesInShellOrderThenTheChildUnderThePoint)
{
    EXPECT_TRUE(::GetWindowLongPtrW(m_target.Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    const std::wstring longName = L"C:\\" + std::wstring(400, L'x') + L"\\\u30c7\u30fc\u30bf \u00e9t\u00e9.lnk";
    const DroppedFiles files = {L"C:\\b.lnk", longName, L"C:\\Folder", L"C:\\a.lnk"};
    Drop(files, POINT{70, 40});
    ASSERT_EQ(m_events.size(), 2u);
    EXPECT_EQ(m_events[0].who, L"files");
    EXPECT_EQ(m_events[0].files, files);
    EXPECT_EQ(m_events[0].at.x, 70);
    EXPECT_EQ(m_events[0].at.y, 40);
    EXPECT_EQ(m_events[1].who, L"child");
    EXPECT_EQ(m_events[1].files, files);
    EXPECT_EQ(m_events[1].at.x, 50) << "in the child's coordinates";
    EXPECT_EQ(m_events[1].at.y, 10);
}

TEST_F(DropTargetTest, ADropOnTheChildsEdgeOrBesideItIsThePanelsAndAnEmptyDropStillRaisesBoth)
{
    Drop({L"C:\\a.lnk"}, POINT{20, 30});
    Drop({}, POINT{250, 150});
    ASSERT_EQ(m_events.size(), 4u);
    EXPECT_EQ(m_events[1].who, L"panel");
    EXPECT_EQ(m_events[1].at.x, 20);
    EXPECT_TRUE(m_events[2].files.empty());
    EXPECT_EQ(m_events[3].who, L"panel");
}
