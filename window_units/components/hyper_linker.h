// HyperLinker: a caption that opens its target address in the user's
// browser (or mail program) when clicked.
#pragma once

#include <windows.h>

#include "runtime/program_image.h"
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
    static Component* Create(const CreateArgs& args);

    std::vector<uint8_t> PropertyData() override;
    // A link named by its caption; its default action opens it.
    bool DescribeForScreenReader(AccessibleFacts* facts) override;
    bool DoDefaultAction() override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalDestroy() override;
    void Reapply(int ownNumber, uint32_t what) override;

private:
    HyperLinkerComponent(uint32_t windowId, uint32_t unitId);
    void ApplyFont();
    void Paint(HDC dc);

    OwnedFont font_;
    bool pressed_ = false;
};

void* HyperLinkerInterface(int operation);
// The property descriptions of the type record, by own property number.
extern const PropertyDescription kHyperLinkerPropertyDescriptions[];
extern const uint32_t kHyperLinkerPropertyDescriptionCount;

}  // namespace lyra
