#pragma once
// The "Launcher" page of the main window: the Icons and Floating tool bars.

#include <memory>

#include "base/Window.h"
#include "components/ToolBarPager.h"

class LauncherPage : public ChildDialog {
public:
    LauncherPage();
    ~LauncherPage() override;

    // Creates the page from its template and the two bars on it.
    void CreatePage(HINSTANCE instance, HWND parent, ToolBarPagerEvents iconEvents, ToolBarPagerEvents floatingEvents);
    // Lays the bars out for the page's size.
    void LayOut();

    ToolBarPager* IconsBar() const noexcept { return m_iconsBar.get(); }
    ToolBarPager* FloatingBar() const noexcept { return m_floatingBar.get(); }

protected:
    INT_PTR HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    std::unique_ptr<ToolBarPager> m_iconsBar;
    std::unique_ptr<ToolBarPager> m_floatingBar;
};
