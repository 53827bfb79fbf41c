#include "DisplayProgram.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "ModulePaths.h"
#include "OsdNotice.h"
#include "PathText.h"
#include "ProgramNames.h"

namespace {

class OsdWindowPort : public OsdPort {
public:
    explicit OsdWindowPort(OsdOwner owner) : owner_(owner) {}
    bool FindDisplay() override {
        window_ = FindWindowW(nullptr, names::kOsdWindowTitle);
        return window_ != nullptr;
    }
    void StartDisplay() override {
        const std::wstring program = JoinPath(ProgramFolder(), names::kOsdExe);
        ShellExecuteW(nullptr, nullptr, program.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    }
    void ScheduleRetry(int ms) override { SetTimer(owner_.Window, owner_.RetryTimer, static_cast<UINT>(ms), nullptr); }
    void Post(unsigned message, int code, int value) override { PostMessageW(window_, message, code, value); }

private:
    const OsdOwner owner_;
    HWND window_ = nullptr;
};

}  // namespace

void ShowOsdNotice(OsdNotices& notices, OsdOwner owner, const SettingsImage& settings, int code, int value,
                   NoticeForm form) {
    OsdWindowPort port(owner);
    notices.Show(port, settings.TrayEnabled, code, value, form);
}

void RetryOsdNotice(OsdNotices& notices, OsdOwner owner) {
    KillTimer(owner.Window, owner.RetryTimer);
    OsdWindowPort port(owner);
    notices.Retry(port);
}

void RunProgram(const SettingsImage& settings, int slot) {
    // The mouse can send a code for a ninth slot that no button has.
    if (slot < 0 || slot >= kButtonCount) return;
    const std::wstring path(FieldText(CurrentProfile(settings).Buttons[slot].Path));
    if (path.empty()) return;
    ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOW);
}
