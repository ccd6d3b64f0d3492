#pragma once
// Scaling a 96-DPI pixel size to a DPI. No Windows headers, so pure layout rules can use it.

constexpr int ScaleForDpi(int pixels96, unsigned dpi) { return static_cast<int>((static_cast<long long>(pixels96) * dpi + 48) / 96); }
