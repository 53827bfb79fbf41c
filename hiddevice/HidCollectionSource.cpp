#include <initguid.h>  // defines the DEVPKEYs used here, in this file only

#include "HidCollectionSource.h"

#include <devpkey.h>
#include <setupapi.h>
// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}

#include <cstdio>
#include <optional>

#include "SystemError.h"

// The container as a registry property; missing from mingw-w64's setupapi.h.
#ifndef SPDRP_BASE_CONTAINERID
#define SPDRP_BASE_CONTAINERID 0x24
#endif

namespace hiddevice {

namespace {

using UniqueDeviceInfoSet = UniqueHandle<HDEVINFO, &::SetupDiDestroyDeviceInfoList>;
using UniquePreparsedData = UniqueHandle<PHIDP_PREPARSED_DATA, &::HidD_FreePreparsedData>;

// The most reports the class driver keeps for one handle.
constexpr ULONG kInputBuffers = 512;

// Attributes and report lengths; a collection can be asked without read or write access,
// which the system refuses for its own keyboards and mice.
std::optional<ProbedCollection> Probe(const std::wstring& path) {
    UniqueKernelHandle device(
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) {
        TraceSystemError(L"CreateFile", path);
        return std::nullopt;
    }
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    if (!HidD_GetAttributes(device.get(), &attributes)) {
        TraceSystemError(L"HidD_GetAttributes", path);
        return std::nullopt;
    }
    UniquePreparsedData preparsed;
    if (!HidD_GetPreparsedData(device.get(), preparsed.put())) {
        TraceSystemError(L"HidD_GetPreparsedData", path);
        return std::nullopt;
    }
    HIDP_CAPS caps{};
    if (const NTSTATUS status = HidP_GetCaps(preparsed.get(), &caps); status != HIDP_STATUS_SUCCESS) {
        TraceSystemError(L"HidP_GetCaps", path, static_cast<DWORD>(status));
        return std::nullopt;
    }

    ProbedCollection collection;
    collection.Path = path;
    collection.Attributes = {attributes.VendorID, attributes.ProductID, caps.Usage, caps.UsagePage};
    collection.Lengths = {caps.InputReportByteLength, caps.OutputReportByteLength};
    return collection;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40];
    std::swprintf(text, std::size(text), L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

// The collections of one mouse may sit on different USB interfaces; the container
// gathers everything of one physical device. Some systems (Wine) keep the container only as
// the device's registry property, as text. Without one, the parent device does.
std::wstring PhysicalDeviceKey(HDEVINFO set, SP_DEVINFO_DATA& info, const std::wstring& path) {
    DEVPROPTYPE type = 0;
    GUID container{};
    if (SetupDiGetDevicePropertyW(set, &info, &DEVPKEY_Device_ContainerId, &type, reinterpret_cast<PBYTE>(&container),
                                  sizeof container, nullptr, 0) &&
        type == DEVPROP_TYPE_GUID) {
        return L"container:" + GuidText(container);
    }
    wchar_t containerText[64] = {};
    if (SetupDiGetDeviceRegistryPropertyW(set, &info, SPDRP_BASE_CONTAINERID, nullptr,
                                          reinterpret_cast<PBYTE>(containerText),
                                          sizeof containerText - sizeof(wchar_t), nullptr) &&
        containerText[0]) {
        CharUpperW(containerText);
        return std::wstring(L"container:") + containerText;
    }
    wchar_t parent[512] = {};
    if (SetupDiGetDevicePropertyW(set, &info, &DEVPKEY_Device_Parent, &type, reinterpret_cast<PBYTE>(parent),
                                  sizeof parent - sizeof(wchar_t), nullptr, 0) &&
        type == DEVPROP_TYPE_STRING) {
        return std::wstring(L"parent:") + parent;
    }
    return L"path:" + path;
}

std::optional<std::wstring> InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interfaceData,
                                          SP_DEVINFO_DATA& info) {
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        TraceSystemError(L"SetupDiGetDeviceInterfaceDetail");
        return std::nullopt;
    }
    std::vector<DWORD> storage((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set, &interfaceData, detail, size, nullptr, &info)) {
        TraceSystemError(L"SetupDiGetDeviceInterfaceDetail");
        return std::nullopt;
    }
    return std::wstring(detail->DevicePath);
}

}  // namespace

GUID HidCollectionSource::InterfaceClass() const {
    GUID hidClass{};
    HidD_GetHidGuid(&hidClass);
    return hidClass;
}

std::vector<ProbedCollection> HidCollectionSource::Present() {
    std::vector<ProbedCollection> present;
    const GUID hidClass = InterfaceClass();
    const UniqueDeviceInfoSet set(
        SetupDiGetClassDevsW(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set) {
        TraceSystemError(L"SetupDiGetClassDevs");
        return present;
    }
    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &hidClass, index, &interfaceData)) {
            if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_ITEMS)
                TraceSystemError(L"SetupDiEnumDeviceInterfaces", error);
            break;
        }
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        const auto path = InterfacePath(set.get(), interfaceData, info);
        if (!path) continue;
        auto collection = Probe(*path);
        if (!collection) continue;
        collection->DeviceKey = PhysicalDeviceKey(set.get(), info, *path);
        present.push_back(std::move(*collection));
    }
    return present;
}

UniqueKernelHandle HidCollectionSource::Open(const std::wstring& path) {
    UniqueKernelHandle device(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OVERLAPPED, nullptr));
    if (!device) {
        TraceSystemError(L"CreateFile", path);
        return device;
    }
    // The class driver keeps 32 reports for a handle unless told otherwise: 32 ms of a mouse
    // polled every millisecond, which a reader held up on a busy machine overran.
    if (!HidD_SetNumInputBuffers(device.get(), kInputBuffers)) TraceSystemError(L"HidD_SetNumInputBuffers", path);
    return device;
}

}  // namespace hiddevice
