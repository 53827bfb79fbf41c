#include "BusControl.h"

#include <setupapi.h>

#include <algorithm>
#include <string>

namespace virtualmouse {

namespace {

using UniqueDeviceInfoSet = UniqueHandle<HDEVINFO, &::SetupDiDestroyDeviceInfoList>;

constexpr GUID kControlInterface = VMOUSE_CONTROL_INTERFACE_INIT;

std::optional<std::wstring> ControlInterfacePath() {
    const UniqueDeviceInfoSet set(
        SetupDiGetClassDevsW(&kControlInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set) return std::nullopt;
    SP_DEVICE_INTERFACE_DATA interfaceData{};
    interfaceData.cbSize = sizeof interfaceData;
    if (!SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kControlInterface, 0, &interfaceData)) return std::nullopt;
    DWORD size = 0;
    SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, nullptr, 0, &size, nullptr);
    if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return std::nullopt;
    std::vector<DWORD> storage(size / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!SetupDiGetDeviceInterfaceDetailW(set.get(), &interfaceData, detail, size, nullptr, nullptr))
        return std::nullopt;
    return std::wstring(detail->DevicePath);
}

}  // namespace

std::optional<BusControl> BusControl::Open(DWORD* error) {
    const auto path = ControlInterfacePath();
    if (!path) {
        if (error) *error = ERROR_FILE_NOT_FOUND;
        return std::nullopt;
    }
    UniqueKernelHandle device(CreateFileW(path->c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device) {
        if (error) *error = GetLastError();
        return std::nullopt;
    }
    return BusControl(std::move(device));
}

bool BusControl::Present() { return ControlInterfacePath().has_value(); }

DWORD BusControl::Request(DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) const {
    DWORD bytes = 0;
    if (!DeviceIoControl(device_.get(), code, const_cast<void*>(in), inSize, out, outSize, &bytes, nullptr))
        return GetLastError();
    if (returned) *returned = bytes;
    return ERROR_SUCCESS;
}

DWORD BusControl::Plug(const vmouse_layout& layout) const { return Request(IOCTL_VMOUSE_PLUG, &layout, sizeof layout); }

DWORD BusControl::Unplug() const { return Request(IOCTL_VMOUSE_UNPLUG, nullptr, 0); }

DWORD BusControl::SendInput(std::uint32_t child, std::uint32_t length, std::span<const std::uint8_t> reports) const {
    if (length == 0 || reports.size() % length != 0) return ERROR_INVALID_PARAMETER;
    std::vector<std::uint8_t> request(sizeof(vmouse_input) + reports.size());
    const vmouse_input header{child, length, static_cast<std::uint32_t>(reports.size() / length)};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(&header), sizeof header, request.begin());
    std::copy(reports.begin(), reports.end(), request.begin() + sizeof header);
    return Request(IOCTL_VMOUSE_SEND_INPUT, request.data(), static_cast<DWORD>(request.size()));
}

DWORD BusControl::ReadLog(std::uint32_t from, std::vector<vmouse_log_entry>& entries, vmouse_log_chunk& bounds) const {
    constexpr std::size_t kEntriesAnAnswer = 1024;
    std::vector<std::uint8_t> answer(sizeof(vmouse_log_chunk) + kEntriesAnAnswer * sizeof(vmouse_log_entry));
    for (;;) {
        DWORD returned = 0;
        if (const DWORD error = Request(IOCTL_VMOUSE_READ_LOG, &from, sizeof from, answer.data(),
                                        static_cast<DWORD>(answer.size()), &returned))
            return error;
        if (returned < sizeof(vmouse_log_chunk)) return ERROR_INVALID_DATA;
        std::copy_n(answer.data(), sizeof bounds, reinterpret_cast<std::uint8_t*>(&bounds));
        const auto* first = reinterpret_cast<const vmouse_log_entry*>(answer.data() + sizeof bounds);
        entries.insert(entries.end(), first, first + bounds.count);
        if (bounds.count == 0 || entries.back().sequence + 1 >= bounds.next) return ERROR_SUCCESS;
        from = entries.back().sequence + 1;
    }
}

DWORD BusControl::MarkLog() const { return Request(IOCTL_VMOUSE_MARK_LOG, nullptr, 0); }

DWORD BusControl::ResetLog() const { return Request(IOCTL_VMOUSE_RESET_LOG, nullptr, 0); }

DWORD BusControl::AddNote(std::string_view note) const {
    return Request(IOCTL_VMOUSE_ADD_NOTE, note.data(), static_cast<DWORD>(note.size()));
}

DWORD BusControl::FailWrites(std::uint32_t pass, std::uint32_t fail) const {
    const vmouse_write_failures failures{pass, fail};
    return Request(IOCTL_VMOUSE_FAIL_WRITES, &failures, sizeof failures);
}

DWORD BusControl::DelayWrites(std::uint32_t milliseconds) const {
    return Request(IOCTL_VMOUSE_DELAY_WRITES, &milliseconds, sizeof milliseconds);
}

DWORD BusControl::ReadState(vmouse_state& state) const {
    DWORD returned = 0;
    if (const DWORD error = Request(IOCTL_VMOUSE_READ_STATE, nullptr, 0, &state, sizeof state, &returned)) return error;
    return returned == sizeof state ? ERROR_SUCCESS : ERROR_INVALID_DATA;
}

}  // namespace virtualmouse
