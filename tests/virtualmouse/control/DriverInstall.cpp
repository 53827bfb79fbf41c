#include "DriverInstall.h"

#include <newdev.h>
#include <setupapi.h>

#include "BusControl.h"
#include "Handles.h"

namespace virtualmouse {

namespace {

using UniqueDeviceInfoSet = UniqueHandle<HDEVINFO, &::SetupDiDestroyDeviceInfoList>;

constexpr wchar_t kRootDeviceId[] = L"ROOT\\TERN7VMOUSE\\0000";
// The "System" device class of the .inf (GUID_DEVCLASS_SYSTEM).
constexpr GUID kSystemClass = {0x4d36e97d, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

std::string Failure(const char* step, DWORD error = GetLastError()) {
    return std::string(step) + " failed, error " + std::to_string(error);
}

// The bus's root device: created once; a later install finds it registered already.
bool RegisterRootDevice(std::string& message) {
    const UniqueDeviceInfoSet set(SetupDiCreateDeviceInfoList(&kSystemClass, nullptr));
    if (!set) {
        message = Failure("SetupDiCreateDeviceInfoList");
        return false;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoW(set.get(), kRootDeviceId, &kSystemClass, nullptr, nullptr, 0, &device)) {
        if (GetLastError() == ERROR_DEVINST_ALREADY_EXISTS) return true;
        message = Failure("SetupDiCreateDeviceInfo");
        return false;
    }
    // A multi-string: the id and an empty string after it.
    static constexpr wchar_t kHardwareIds[] = VMOUSE_BUS_HARDWARE_ID L"\0";
    if (!SetupDiSetDeviceRegistryPropertyW(set.get(), &device, SPDRP_HARDWAREID,
                                           reinterpret_cast<const BYTE*>(kHardwareIds), sizeof kHardwareIds)) {
        message = Failure("SetupDiSetDeviceRegistryProperty");
        return false;
    }
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set.get(), &device)) {
        message = Failure("DIF_REGISTERDEVICE");
        return false;
    }
    return true;
}

}  // namespace

InstallOutcome InstallDriver(const std::wstring& infPath, DWORD timeoutMs) {
    InstallOutcome outcome;
    if (BusControl::Present()) {
        outcome.ok = outcome.alreadyThere = true;
        return outcome;
    }
    if (GetFileAttributesW(infPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        outcome.message = "no driver package at the given path";
        return outcome;
    }
    if (!RegisterRootDevice(outcome.message)) return outcome;
    BOOL rebootRequired = FALSE;
    if (!UpdateDriverForPlugAndPlayDevicesW(nullptr, VMOUSE_BUS_HARDWARE_ID, infPath.c_str(), INSTALLFLAG_FORCE,
                                            &rebootRequired)) {
        outcome.message = Failure("UpdateDriverForPlugAndPlayDevices");
        return outcome;
    }
    // The bus starts, and registers its control interface, on its own time.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!BusControl::Present()) {
        if (GetTickCount64() >= deadline) {
            outcome.message = "the driver was installed but its bus did not start";
            return outcome;
        }
        Sleep(20);
    }
    outcome.ok = true;
    return outcome;
}

}  // namespace virtualmouse
