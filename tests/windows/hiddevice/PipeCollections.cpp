#include "PipeCollections.h"

namespace {

std::wstring PipePath(const std::wstring& name) {
    return L"\\\\.\\pipe\\Tern7HidDeviceTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name;
}

// Overlapped I/O on one of the bus's handles, waited for up to timeoutMs.
bool Transfer(HANDLE pipe, bool write, void* bytes, DWORD size, DWORD& done, DWORD timeoutMs) {
    UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    const BOOL started =
        write ? WriteFile(pipe, bytes, size, nullptr, &overlapped) : ReadFile(pipe, bytes, size, nullptr, &overlapped);
    if (!started && GetLastError() != ERROR_IO_PENDING) return false;
    if (WaitForSingleObject(event.get(), timeoutMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &overlapped);
        GetOverlappedResult(pipe, &overlapped, &done, TRUE);
        return false;
    }
    return GetOverlappedResult(pipe, &overlapped, &done, FALSE);
}

}  // namespace

void PipeBus::Attach(const std::wstring& name, const std::wstring& deviceKey,
                     hiddevice::CollectionAttributes attributes, hiddevice::ReportLengths lengths, DWORD bufferBytes) {
    // A collection plugged in again replaces its earlier self, connection and all.
    collections_.erase(name);
    detachedEnds_.erase(name);
    Collection collection;
    collection.probed = {PipePath(name), deviceKey, attributes, lengths};
    collection.deviceEnd.reset(CreateNamedPipeW(
        collection.probed.Path.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, bufferBytes, bufferBytes, 0, nullptr));
    collections_[name] = std::move(collection);
}

void PipeBus::Detach(const std::wstring& name, bool closeDeviceEnd) {
    const auto found = collections_.find(name);
    if (found == collections_.end()) return;
    if (!closeDeviceEnd) detachedEnds_[name] = std::move(found->second.deviceEnd);
    collections_.erase(found);
}

bool PipeBus::Send(const std::wstring& name, const std::vector<std::uint8_t>& report) {
    const auto found = collections_.find(name);
    if (found == collections_.end()) return false;
    std::vector<std::uint8_t> bytes = report;
    DWORD written = 0;
    return Transfer(found->second.deviceEnd.get(), true, bytes.data(), static_cast<DWORD>(bytes.size()), written,
                    5000) &&
           written == bytes.size();
}

std::optional<std::vector<std::uint8_t>> PipeBus::Received(const std::wstring& name, DWORD timeoutMs) {
    const auto found = collections_.find(name);
    if (found == collections_.end()) return std::nullopt;
    std::vector<std::uint8_t> bytes(256);
    DWORD read = 0;
    if (!Transfer(found->second.deviceEnd.get(), false, bytes.data(), static_cast<DWORD>(bytes.size()), read,
                  timeoutMs))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

std::vector<hiddevice::ProbedCollection> PipeBus::Present() const {
    std::vector<hiddevice::ProbedCollection> present;
    for (const auto& [name, collection] : collections_) present.push_back(collection.probed);
    return present;
}

GUID PipeCollectionSource::InterfaceClass() const {
    // Any class will do: the tests deliver the arrivals themselves.
    return {0x6d3a2b5c, 0x1f4e, 0x4a8b, {0x9c, 0x2d, 0x5e, 0x7f, 0x10, 0x32, 0x54, 0x76}};
}

UniqueKernelHandle PipeCollectionSource::Open(const std::wstring& path) {
    UniqueKernelHandle pipe(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr));
    // One read, one report, as with a HID collection.
    DWORD mode = PIPE_READMODE_MESSAGE;
    if (pipe && !SetNamedPipeHandleState(pipe.get(), &mode, nullptr, nullptr)) pipe.reset();
    return pipe;
}
