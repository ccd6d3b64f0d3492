#pragma once
// TUpdateCheck: the update check the user starts from the About box. The request runs on a worker
// thread of its own, so the program keeps answering its tray icons, menus and hotkeys while the
// server takes its time; the worker posts its outcome back to the user-interface thread, which then
// asks or tells the user.

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "base/Window.h"
#include "update/VersionRules.h"

// What the check needs of the program around it.
class UpdateCheckHost {
public:
    // The window the answer's message box belongs to.
    virtual HWND UpdateAnswerOwner() = 0;
    // False while the answer must wait (a menu is up); it is asked again shortly.
    virtual bool CanShowUpdateAnswer() = 0;
    // A check started or ended.
    virtual void UpdateCheckChanged() = 0;

protected:
    ~UpdateCheckHost() = default;
};

struct UpdateCheckSettings {
    std::wstring programFile;  // whose version resource is compared
    std::wstring agent;
    std::wstring url;
    std::wstring homePage;  // opened when the user wants the new version
    std::wstring caption;   // of the message boxes
    std::chrono::milliseconds timeOut{std::chrono::minutes(2)};
};

class TUpdateCheck : private Window {
public:
    TUpdateCheck(UpdateCheckHost& host, UpdateCheckSettings settings);
    // A request still running is abandoned: its outcome is never shown.
    ~TUpdateCheck() override;

    // Starts a check. While one runs (until its answer has been dismissed) a second one is refused
    // with a beep: false.
    bool Start();
    bool Running() const noexcept { return m_state != State::Idle; }

private:
    struct Job;
    enum class State { Idle, Fetching, Answering };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void EnsureWindow();
    void Collect();
    void GiveUp();
    void Abandon() noexcept;
    void ShowAnswer();
    static void Work(std::shared_ptr<Job> job) noexcept;

    UpdateCheckHost& m_host;
    UpdateCheckSettings m_settings;
    State m_state = State::Idle;
    std::shared_ptr<Job> m_job;
    std::thread m_worker;
    UpdateAnswer m_answer;
};
