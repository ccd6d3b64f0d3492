#include "app/LauncherTriggers.h"

#include "app/LauncherMainUnit.h"
#include "triggers/Watch.h"

LauncherTriggers::LauncherTriggers(TOrvoLauncherClass& main) : m_main(main), m_watch(std::make_unique<TWatch>()) {}

LauncherTriggers::~LauncherTriggers() { Stop(); }

void LauncherTriggers::Start()
{
    m_watch->StartWatch(kWatchMouse);
    m_watch->StartWatch(kWatchKeyboard);
}

void LauncherTriggers::Stop()
{
    if (!m_watch) return;
    m_watch->StopWatch(kWatchMouse);
    m_watch->StopWatch(kWatchKeyboard);
}
