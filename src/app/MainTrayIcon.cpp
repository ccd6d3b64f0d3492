#include "app/MainTrayIcon.h"

#include "app/Commands.h"
#include "tray/TrayRules.h"

namespace {
constexpr const wchar_t* kClassicIcon = L"NICON1";

HICON LoadTrayIconResource(const wchar_t* name = kClassicIcon)
{
    const int size = ::GetSystemMetrics(SM_CXSMICON);
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// The built-in image for the taskbar's theme. Systems without themed taskbars have no such value
// and keep the classic colored icon.
const wchar_t* BuiltInIconForTheme()
{
    DWORD light = 0;
    DWORD size = sizeof(light);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                       L"SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size) != ERROR_SUCCESS)
        return kClassicIcon;
    return light ? L"NICON_LIGHT" : L"NICON_DARK";
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
    if (!m_builtIn) FollowTheme();
    m_useCustom = false;
}

bool MainTrayIcon::FollowTheme()
{
    const wchar_t* name = BuiltInIconForTheme();
    if (m_builtIn && name == m_builtInName) return false;
    HICON icon = LoadTrayIconResource(name);
    m_builtIn.reset(icon ? icon : LoadTrayIconResource());
    m_builtInName = name;
    return true;
}

void MainTrayIcon::UseCustom(const std::wstring& file, int index)
{
    HICON icon = ExtractSmallIcon(file, index);
    m_custom.reset(icon ? icon : LoadTrayIconResource());
    m_useCustom = true;
}

void MainTrayIcon::Show(bool hiddenByOption, bool forceAdd)
{
    NOTIFYICONDATAW record = Record();
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
    NOTIFYICONDATAW record = Record();
    m_notify(NIM_MODIFY, record);
}

NOTIFYICONDATAW MainTrayIcon::Record() const
{
    return MakeNotifyRecord(m_owner, kMainTrayIconId, kMainTrayMessage, VisibleIcon(), TipText());
}

std::wstring MainTrayIcon::TipText() const
{
    if (!m_tipShown) return {};
    return m_tip.empty() ? std::wstring(kProgramTitle) : m_tip;
}

void MainTrayIcon::Remove()
{
    if (!m_shown) return;
    NOTIFYICONDATAW record = MakeNotifyRecord(m_owner, kMainTrayIconId, kMainTrayMessage, nullptr, kProgramTitle);
    m_notify(NIM_DELETE, record);
    m_shown = false;
}
