// Shows the floating window with 11 shell icons, an empty one and the tool bar in its scroller on
// the desktop for a few seconds,
// so that a screenshot can show what a person sees. Not a test: run it by hand.
//   FloatingDemo.exe [seconds]

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "floating/IconWindowUnit.h"
#include "components/ToolBarPager.h"

int wmain(int argc, wchar_t** argv)
{
    const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 10;
    UniqueImageList images(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 11, 4));
    const int shellIcons[] = {3, 4, 15, 16, 17, 22, 23, 24, 43, 44, 46};
    std::vector<Item> items;
    for (int i = 0; i < 11; ++i) {
        HICON small = nullptr;
        ExtractIconExW(L"shell32.dll", shellIcons[i], nullptr, &small, 1);
        UniqueHicon icon(small);
        Item item;
        item.Id = static_cast<std::uint16_t>(kFloatingFirstId + i);
        item.Caption = L"Entry " + std::to_wstring(i);
        item.ImageIndex = icon ? ImageList_AddIcon(images.get(), icon.get()) : -1;
        item.Kind = CollectionKind::Floating;
        items.push_back(item);
    }

    auto atPoint = [](PixelPoint at) {
        IconWindowSystem system = IconWindowSystem::Default();
        system.CursorPos = [at] { return at; };
        return system;
    };
    TIconWindow full({}, atPoint({300, 250}));
    full.Create();
    full.SetShowTime(seconds + 5);
    full.RebuildIconWindow(items, images.get(), kDefaultMaxIconInRow);
    full.ShowIconWindowPassive();

    TIconWindow empty({}, atPoint({300, 350}));
    empty.Create();
    empty.SetShowTime(seconds + 5);
    empty.RebuildIconWindow({}, images.get(), kDefaultMaxIconInRow);
    empty.ShowIconWindowPassive();

    HWND page = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP | WS_CAPTION | WS_VISIBLE,
                                300, 450, 220, 70, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ToolBarPager bar({});
    bar.Create(page, RECT{4, 4, 204, 34});
    bar.BeginLoad(images.get());
    for (const Item& item : items) bar.AddItemButton(item.Id, item.Caption, item.ImageIndex);
    bar.EndLoad();

    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < static_cast<DWORD>(seconds) * 1000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    DestroyWindow(page);
    return 0;
}
