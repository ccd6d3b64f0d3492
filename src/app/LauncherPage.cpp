#include "app/LauncherPage.h"

#include "base/Dpi.h"
#include "resources/resource.h"

namespace {
// At 96 DPI.
constexpr int kMargin = 8;
constexpr int kBarHeight = 26;
} // namespace

LauncherPage::LauncherPage() = default;
LauncherPage::~LauncherPage() = default;

void LauncherPage::CreatePage(HINSTANCE instance, HWND parent, ToolBarPagerEvents iconEvents,
                              ToolBarPagerEvents floatingEvents)
{
    Create(instance, IDD_PAGE_LAUNCHER, parent);
    m_iconsBar = std::make_unique<ToolBarPager>(std::move(iconEvents));
    m_floatingBar = std::make_unique<ToolBarPager>(std::move(floatingEvents));
    m_iconsBar->Create(Handle(), RECT{0, 0, 10, 10});
    m_floatingBar->Create(Handle(), RECT{0, 0, 10, 10});
    LayOut();
}

void LauncherPage::LayOut()
{
    if (!m_iconsBar || !m_floatingBar) return;
    const unsigned dpi = WindowDpi(Handle());
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const int margin = ScaleForDpi(kMargin, dpi);
    const int width = client.right - 2 * margin;
    // Each bar sits right below its label.
    auto below = [&](int labelId) {
        RECT label{};
        ::GetWindowRect(::GetDlgItem(Handle(), labelId), &label);
        ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&label), 2);
        return label.bottom + ScaleForDpi(2, dpi);
    };
    const int iconsTop = below(IDC_LABEL_TRAY_ICONS);
    m_iconsBar->SetBounds(RECT{margin, iconsTop, margin + width, iconsTop + ScaleForDpi(kBarHeight, dpi)});
    const int floatingTop = below(IDC_LABEL_FLOATING_ICONS);
    m_floatingBar->SetBounds(RECT{margin, floatingTop, margin + width, floatingTop + ScaleForDpi(kBarHeight, dpi)});
}

INT_PTR LauncherPage::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SIZE) {
        LayOut();
        return TRUE;
    }
    return ChildDialog::HandleDialogMessage(message, wParam, lParam);
}
