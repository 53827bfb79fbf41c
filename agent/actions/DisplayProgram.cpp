#include "DisplayProgram.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "ModulePaths.h"
#include "PathText.h"
#include "ProgramNames.h"
#include "actions/OsdNotice.h"

namespace {

class OsdWindowPort : public OsdPort {
public:
    bool FindDisplay() override {
        window_ = FindWindowW(nullptr, names::kOsdWindowTitle);
        return window_ != nullptr;
    }
    void StartDisplay() override {
        const std::wstring program = JoinPath(ProgramFolder(), names::kOsdExe);
        ShellExecuteW(nullptr, nullptr, program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    void Pause(int ms) override { Sleep(static_cast<DWORD>(ms)); }
    void Post(unsigned message, int code, int value) override { PostMessageW(window_, message, code, value); }

private:
    HWND window_ = nullptr;
};

}  // namespace

void ShowOsdNotice(const SettingsImage& settings, int code, int value, int valueFlag) {
    OsdWindowPort port;
    ShowOsd(port, settings.TrayEnabled, code, value, valueFlag);
}

void RunProgram(const SettingsImage& settings, int slot) {
    // The mouse can send a code for a ninth slot that no button has.
    if (slot < 0 || slot >= kButtonCount) return;
    const std::wstring path(FieldText(CurrentProfile(settings).Buttons[slot].Path));
    if (path.empty()) return;
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
}
