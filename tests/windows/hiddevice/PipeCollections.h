#pragma once
// Stand-in collections for the library's session: each is a message-mode named pipe whose
// device end the test holds, so that reports, writes and vanishing devices go through the
// same overlapped I/O the HID stack uses.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CollectionSource.h"
#include "Handles.h"

class PipeBus {
public:
    // Makes a collection present (again); its device end stays with the bus.
    void Attach(const std::wstring& name, const std::wstring& deviceKey, hiddevice::CollectionAttributes attributes,
                hiddevice::ReportLengths lengths, DWORD bufferBytes = 4096);
    // No longer present; with closeDeviceEnd the open collection's I/O fails too.
    void Detach(const std::wstring& name, bool closeDeviceEnd);

    // The device sends a report.
    bool Send(const std::wstring& name, const std::vector<std::uint8_t>& report);
    // What the library wrote to the device, if anything arrives in time.
    std::optional<std::vector<std::uint8_t>> Received(const std::wstring& name, DWORD timeoutMs);

    std::vector<hiddevice::ProbedCollection> Present() const;

private:
    struct Collection {
        hiddevice::ProbedCollection probed;
        UniqueKernelHandle deviceEnd;
    };
    std::map<std::wstring, Collection> collections_;
    std::map<std::wstring, UniqueKernelHandle> detachedEnds_;
};

class PipeCollectionSource final : public hiddevice::CollectionSource {
public:
    explicit PipeCollectionSource(std::shared_ptr<PipeBus> bus) : bus_(std::move(bus)) {}
    GUID InterfaceClass() const override;
    std::vector<hiddevice::ProbedCollection> Present() override { return bus_->Present(); }
    UniqueKernelHandle Open(const std::wstring& path) override;

private:
    std::shared_ptr<PipeBus> bus_;
};
