#include "app/MainTrayIcon.h"

#include "app/Commands.h"
#include "tray/TrayRules.h"

namespace {
HICON LoadTrayIconResource()
{
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    return static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), L"NICON1", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}
} // namespace

HICON ExtractSmallIcon(const std::wstring& file, int index)
{
    if (file.empty() || index < 0) return nullptr;
    const UINT count = ::ExtractIconExW(file.c_str(), -1, nullptr, nullptr, 0);
    if (static_cast<UINT>(index) >= count) return nullptr;
    HICON small = nullptr;
    if (::ExtractIconExW(file.c_str(), index, nullptr, &small, 1) == 0) return nullptr;
    return small;
}

MainTrayIcon::MainTrayIcon(HWND owner, NotifyIconFunction notify) : m_owner(owner), m_notify(std::move(notify)) {}

MainTrayIcon::~MainTrayIcon() { Remove(); }

void MainTrayIcon::UseBuiltIn()
{
    if (!m_builtIn) m_builtIn.reset(LoadTrayIconResource());
    m_useCustom = false;
}

void MainTrayIcon::UseCustom(const std::wstring& file, int index)
{
    HICON icon = ExtractSmallIcon(file, index);
    m_custom.reset(icon ? icon : LoadTrayIconResource());
    m_useCustom = true;
}

void MainTrayIcon::Show(bool hiddenByOption, bool forceAdd)
{
    NOTIFYICONDATAW record =
        MakeNotifyRecord(m_owner, kMainTrayIconId, kMainTrayMessage, VisibleIcon(), m_tipShown ? kProgramTitle : L"");
    if (!hiddenByOption) {
        m_notify(!m_shown || forceAdd ? NIM_ADD : NIM_MODIFY, record);
        m_shown = true;
    } else if (m_shown) {
        m_notify(NIM_DELETE, record);
        m_shown = false;
    }
}

void MainTrayIcon::SetTipShown(bool shown)
{
    if (shown == m_tipShown) return;
    m_tipShown = shown;
    if (!m_shown) return;
    NOTIFYICONDATAW record =
        MakeNotifyRecord(m_owner, kMainTrayIconId, kMainTrayMessage, VisibleIcon(), shown ? kProgramTitle : L"");
    m_notify(NIM_MODIFY, record);
}

void MainTrayIcon::Remove()
{
    if (!m_shown) return;
    NOTIFYICONDATAW record = MakeNotifyRecord(m_owner, kMainTrayIconId, kMainTrayMessage, nullptr, kProgramTitle);
    m_notify(NIM_DELETE, record);
    m_shown = false;
}
