// HyperLinker: a caption that opens its target address in the user's
// browser (or mail program) when clicked.
#pragma once

#include <windows.h>

#include "window_units/component.h"
#include "window_units/component_support.h"
#include "window_units/components/hyper_linker_block.h"
#include "window_units/property_table.h"

namespace lyra {

constexpr uint32_t kHyperLinkerTypeCode = 0x0001001D;

// How a target is opened; tests replace it. shellOpen answers as
// ShellExecute does (above 32 is success); run starts a command line.
struct HyperLinkShell {
    intptr_t (*shellOpen)(const std::wstring& target);
    bool (*run)(const std::wstring& commandLine);
};
// Null restores the system's shell.
void SetHyperLinkShell(const HyperLinkShell* shell);

// Opens the target of a link: true when the shell or the browser fallback
// started; false, without doing anything, for an empty address.
bool OpenHyperLink(const HyperLinkerProperties& properties);

class HyperLinkerComponent : public TableComponent<HyperLinkerProperties> {
public:
    HyperLinkerComponent(uint32_t windowId, uint32_t unitId) : TableComponent(windowId, unitId, kHyperLinkerTable) {}
    bool Create(const CreateArgs& args);
    // A link named by its caption; its default action opens it.
    bool DescribeForScreenReader(AccessibleFacts* facts) override;
    bool DoDefaultAction() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    void Reapply(int ownNumber, uint32_t what) override;

private:
    void ApplyFont();
    void Paint(HDC dc);

    OwnedFont font_;
    bool pressed_ = false;
};

void* HyperLinkerInterface(int operation);

}  // namespace lyra
