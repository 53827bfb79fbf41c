#pragma once
// One open collection: a reader thread that keeps an overlapped read pending and hands
// every report to a sink, and bounded writes from any thread.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "CollectionSource.h"
#include "Handles.h"

namespace hiddevice {

class CollectionIo {
public:
    // Called on the reader thread.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void OnReport(std::uint16_t deviceId, std::span<const std::uint8_t> report) = 0;
        // The read failed (the device went away, most likely); the reader has ended.
        virtual void OnReadFailed(std::uint16_t deviceId, std::uint32_t serial) = 0;
    };

    CollectionIo(std::uint16_t deviceId, UniqueKernelHandle device, ReportLengths lengths, Sink& sink);
    // Ends the reader and closes the device.
    ~CollectionIo();
    CollectionIo(const CollectionIo&) = delete;
    CollectionIo& operator=(const CollectionIo&) = delete;

    // Starts the reader; a collection without input reports needs none.
    bool StartReading();
    // True only when the device took the whole report within the time. A write the device
    // still holds then is left to it and the call returns; its buffer lives on until the
    // device lets go of it.
    bool Write(const std::uint8_t* report, std::uint32_t length, DWORD timeoutMs);

    // Tells this opening apart from a later one under the same identifier.
    std::uint32_t Serial() const { return serial_; }

private:
    // One write's buffer and OVERLAPPED, which must outlive the write.
    struct PendingWrite {
        UniqueKernelHandle done;
        OVERLAPPED overlapped{};
        std::vector<std::uint8_t> bytes;
    };

    void ReadReports();
    static std::unique_ptr<PendingWrite> NewWriteSlot();
    // With writeMutex_ held.
    std::unique_ptr<PendingWrite> TakeWriteSlot();
    void ForgetFinishedWrites();
    void WaitForHeldWrites();

    const std::uint16_t deviceId_;
    const std::uint32_t serial_;
    const UniqueKernelHandle device_;
    const ReportLengths lengths_;
    Sink& sink_;
    const UniqueKernelHandle stop_;
    const UniqueKernelHandle readDone_;
    std::mutex writeMutex_;
    std::unique_ptr<PendingWrite> spareWrite_;
    std::vector<std::unique_ptr<PendingWrite>> heldWrites_;  // timed out, still with the device
    std::thread reader_;
};

}  // namespace hiddevice
