#pragma once
// Which modal window of the main window is open: one at a time.

enum class ModalKindValue : int { None = 0, AboutBox = 1, StartGroupEditor = 2, HotkeyList = 3 };
