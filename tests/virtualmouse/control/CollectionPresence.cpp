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

std::vector<std::wstring> PresentCollectionPaths(std::uint16_t vendorId) {
    wchar_t name[32];
    std::swprintf(name, std::size(name), L"vid_%04x&pid_%04x", vendorId, static_cast<unsigned>(hid::kProductId));
    GUID hidClass{};
    HidD_GetHidGuid(&hidClass);
    const UniqueDeviceInfoSet set(
        SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    std::vector<std::wstring> paths;
    if (!set) return paths;
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
        std::wstring path = Lower(detail->DevicePath);
        if (path.find(name) != std::wstring::npos) paths.push_back(std::move(path));
    }
    return paths;
}

std::uint32_t CountPresentCollections(std::uint16_t vendorId) {
    return static_cast<std::uint32_t>(PresentCollectionPaths(vendorId).size());
}

std::optional<std::wstring> CollectionPath(std::uint16_t vendorId, std::uint32_t child) {
    wchar_t collection[16];
    std::swprintf(collection, std::size(collection), L"&col%02u#", child + 1);
    for (std::wstring& path : PresentCollectionPaths(vendorId)) {
        if (path.find(collection) != std::wstring::npos) return std::move(path);
    }
    return std::nullopt;
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
