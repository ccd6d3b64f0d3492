#include "components/OrvoWndProcHook.h"

#include <commctrl.h>

#include <algorithm>

#include "base/ErrorReport.h"

// The dispatcher is installed as a subclass of the window rather than by replacing its procedure:
// another subclass added after ours (a common control's own, a tool tip's) then stays intact when
// ours is removed, in whatever order the two go.
class TOrvoWndProcHook::TOrvoHookInfos {
public:
    TOrvoHookInfos(TOrvoWndProcHook& owner, HWND control) : m_owner(owner), m_control(control) {}
    ~TOrvoHookInfos() { Restore(); }

    HWND Control() const noexcept { return m_control; }
    bool Hooked() const noexcept { return m_hooked; }
    // The window was destroyed while a dispatch of it was still running.
    bool Destroyed() const noexcept { return m_destroyed; }

    void Append(THookKind kind, TWndProcCallback callback) { Chain(kind).push_back({callback, false}); }

    void Remove(THookKind kind, TWndProcCallback callback)
    {
        std::vector<Entry>& chain = Chain(kind);
        const auto found = std::find_if(chain.begin(), chain.end(),
                                        [&](const Entry& e) { return !e.removed && e.callback == callback; });
        if (found == chain.end()) return;
        // A running dispatch walks the chain by position: the entry only leaves it afterwards.
        if (m_depth > 0) found->removed = true;
        else chain.erase(found);
    }

    bool ChainsEmpty() const noexcept { return Live(m_before) == 0 && Live(m_after) == 0; }

    bool Install() noexcept
    {
        if (!m_hooked)
            m_hooked = ::SetWindowSubclass(m_control, &TOrvoWndProcHook::Dispatcher, reinterpret_cast<UINT_PTR>(this),
                                           reinterpret_cast<DWORD_PTR>(this)) != FALSE;
        return m_hooked;
    }

    void Restore() noexcept
    {
        if (!m_hooked) return;
        ::RemoveWindowSubclass(m_control, &TOrvoWndProcHook::Dispatcher, reinterpret_cast<UINT_PTR>(this));
        m_hooked = false;
    }

    LRESULT Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        TWndMessage m{message, wParam, lParam, 0};
        ++m_depth;
        // The window's own clean-up always runs, whatever a before callback answers.
        const bool handled = RunChain(m_before, m) && message != WM_NCDESTROY;
        if (!handled) {
            m.Result = ::DefSubclassProc(hwnd, message, wParam, lParam);
            RunChain(m_after, m);
        }
        --m_depth;
        if (message == WM_NCDESTROY) m_destroyed = true;
        if (m_depth == 0) {
            if (m_orphaned) {
                delete this;
                return m.Result;
            }
            Compact();
            // A destroyed window, or one whose last callback left during the dispatch, is forgotten.
            if (m_destroyed || ChainsEmpty()) m_owner.Forget(this);  // deletes this
        }
        return m.Result;
    }

    bool Dispatching() const noexcept { return m_depth > 0; }

    // The hook goes while a message of the window is being dispatched (a callback ended the
    // program's hooks): the window gets its own procedure back now, nothing more of the chains
    // runs, and the running dispatch frees this when it ends.
    void Orphan() noexcept
    {
        Restore();
        m_orphaned = true;
    }

private:
    struct Entry {
        TWndProcCallback callback;
        bool removed;
    };

    std::vector<Entry>& Chain(THookKind kind) noexcept { return kind == THookKind::Before ? m_before : m_after; }
    static std::size_t Live(const std::vector<Entry>& chain) noexcept
    {
        return static_cast<std::size_t>(std::count_if(chain.begin(), chain.end(), [](const Entry& e) { return !e.removed; }));
    }

    // Head to tail; stops at the first callback that answers true. Entries appended meanwhile wait
    // for the next message, and nothing more runs once the window is gone.
    bool RunChain(std::vector<Entry>& chain, TWndMessage& m) noexcept
    {
        const std::size_t count = chain.size();
        for (std::size_t i = 0; i < count && !m_destroyed && !m_orphaned; ++i) {
            if (chain[i].removed) continue;
            const TWndProcCallback callback = chain[i].callback;
            bool handled = false;
            try {
                handled = callback.Code(callback.Data, m);
            } catch (...) {
                // Nothing unwinds through the system's dispatcher; the failure is reported like
                // any other at a window procedure's edge, and the message counts as unhandled.
                ShowCurrentException();
            }
            if (handled) return true;
        }
        return false;
    }

    void Compact()
    {
        for (std::vector<Entry>* chain : {&m_before, &m_after})
            chain->erase(std::remove_if(chain->begin(), chain->end(), [](const Entry& e) { return e.removed; }),
                         chain->end());
    }

    TOrvoWndProcHook& m_owner;
    std::vector<Entry> m_before;
    std::vector<Entry> m_after;
    HWND m_control;
    bool m_hooked = false;
    bool m_destroyed = false;
    bool m_orphaned = false;
    int m_depth = 0;
};

TOrvoWndProcHook::TOrvoWndProcHook() = default;

TOrvoWndProcHook::~TOrvoWndProcHook()
{
    for (auto& infos : m_infos)
        if (infos->Dispatching()) infos.release()->Orphan();
}

TOrvoWndProcHook::TOrvoHookInfos* TOrvoWndProcHook::Find(HWND control) const noexcept
{
    for (const auto& infos : m_infos)
        if (infos->Control() == control && !infos->Destroyed()) return infos.get();
    return nullptr;
}

void TOrvoWndProcHook::Forget(TOrvoHookInfos* infos) noexcept
{
    const auto found = std::find_if(m_infos.begin(), m_infos.end(), [&](const auto& p) { return p.get() == infos; });
    if (found != m_infos.end()) m_infos.erase(found);
}

bool TOrvoWndProcHook::HookWndProc(HWND control, THookKind kind, TWndProcCallback callback)
{
    if (!control || !::IsWindow(control) || !callback.Code) return false;
    TOrvoHookInfos* infos = Find(control);
    if (!infos) {
        m_infos.push_back(std::make_unique<TOrvoHookInfos>(*this, control));
        infos = m_infos.back().get();
    }
    if (!infos->Install()) {
        if (infos->ChainsEmpty() && !infos->Dispatching()) Forget(infos);
        return false;
    }
    infos->Append(kind, callback);
    return true;
}

bool TOrvoWndProcHook::UnhookWndProc(HWND control, THookKind kind, TWndProcCallback callback)
{
    if (!control || !callback.Code) return false;
    TOrvoHookInfos* infos = Find(control);
    if (!infos) return false;
    infos->Remove(kind, callback);
    if (infos->ChainsEmpty()) {
        infos->Restore();
        // The running dispatch forgets it when it ends.
        if (!infos->Dispatching()) Forget(infos);
    }
    return true;
}

bool TOrvoWndProcHook::IsHooked(HWND control) const
{
    const TOrvoHookInfos* infos = Find(control);
    return infos && infos->Hooked();
}

LRESULT CALLBACK TOrvoWndProcHook::Dispatcher(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) noexcept
{
    return reinterpret_cast<TOrvoHookInfos*>(data)->Dispatch(hwnd, message, wParam, lParam);
}
