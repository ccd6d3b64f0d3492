#pragma once
// The hourglass while a collection loads; the cursor in use before is restored at the end, also when a
// surface throws.

#include <windows.h>

class HourglassCursor {
public:
    HourglassCursor() noexcept : m_previous(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    ~HourglassCursor() { ::SetCursor(m_previous); }
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    HCURSOR m_previous;
};
