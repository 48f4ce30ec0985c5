#include "window_units/contrast.h"

#include <atomic>

namespace lyra {

namespace {

bool SystemHighContrast() {
    HIGHCONTRASTW state{};
    state.cbSize = sizeof state;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) && (state.dwFlags & HCF_HIGHCONTRASTON);
}

std::atomic<bool (*)()> gQuery{&SystemHighContrast};

}  // namespace

bool HighContrast() { return gQuery.load()(); }

void SetHighContrastQuery(bool (*query)()) { gQuery.store(query != nullptr ? query : &SystemHighContrast); }

bool ColoursChanged(UINT message, WPARAM wParam) {
    return message == WM_SYSCOLORCHANGE || (message == WM_SETTINGCHANGE && wParam == SPI_SETHIGHCONTRAST);
}

}  // namespace lyra
