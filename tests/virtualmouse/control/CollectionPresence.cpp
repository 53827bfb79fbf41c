#include "CollectionPresence.h"

#include <setupapi.h>
// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}

#include <cwchar>
#include <string>
#include <vector>

#include "Handles.h"
#include "HidDeviceContract.h"

namespace virtualmouse {

namespace {

using UniqueDeviceInfoSet = UniqueHandle<HDEVINFO, &::SetupDiDestroyDeviceInfoList>;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

}  // namespace

std::uint32_t CountPresentCollections(std::uint16_t vendorId) {
    wchar_t name[32];
    std::swprintf(name, std::size(name), L"vid_%04x&pid_%04x", vendorId, static_cast<unsigned>(hid::kProductId));
    GUID hidClass{};
    HidD_GetHidGuid(&hidClass);
    const UniqueDeviceInfoSet set(SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set) return 0;
    std::uint32_t count = 0;
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hidClass, index, &interfaceData)) break;
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<DWORD> storage(size / sizeof(DWORD) + 1);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, detail, size, nullptr, nullptr)) continue;
        if (Lower(detail->DevicePath).find(name) != std::wstring::npos) ++count;
    }
    return count;
}

bool WaitForCollections(std::uint16_t vendorId, std::uint32_t count, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (CountPresentCollections(vendorId) != count) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
    return true;
}

}  // namespace virtualmouse
