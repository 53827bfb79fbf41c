#include "CollectionIo.h"

#include <atomic>
#include <vector>

#include "SystemError.h"

namespace hiddevice {

namespace {

// A device that honours the cancel of a write ends it at once.
constexpr DWORD kCancelGraceMs = 50;
// Writes a device may hold past their time before further ones are refused outright.
constexpr std::size_t kMostHeldWrites = 4;
// How long closing waits for the device to let go of them.
constexpr DWORD kCloseGraceMs = 2000;

std::uint32_t NextSerial() {
    static std::atomic<std::uint32_t> serial{0};
    return ++serial;
}

HANDLE ManualResetEvent() {
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!event) TraceSystemError(L"CreateEvent");
    return event;
}

}  // namespace

CollectionIo::CollectionIo(std::uint16_t deviceId, UniqueKernelHandle device, ReportLengths lengths, Sink& sink)
    : deviceId_(deviceId),
      serial_(NextSerial()),
      device_(std::move(device)),
      lengths_(lengths),
      sink_(sink),
      stop_(ManualResetEvent()),
      readDone_(ManualResetEvent()),
      spareWrite_(NewWriteSlot()) {}

CollectionIo::~CollectionIo() {
    if (stop_) SetEvent(stop_.get());
    if (reader_.joinable()) reader_.join();
    std::lock_guard lock(writeMutex_);
    WaitForHeldWrites();
}

bool CollectionIo::StartReading() {
    if (!device_ || !stop_ || !readDone_ || !spareWrite_) return false;
    if (lengths_.Input == 0) return true;
    reader_ = std::thread(&CollectionIo::ReadReports, this);
    return true;
}

void CollectionIo::ReadReports() {
    std::vector<std::uint8_t> buffer(lengths_.Input);
    const HANDLE wake[] = {stop_.get(), readDone_.get()};
    while (WaitForSingleObject(stop_.get(), 0) == WAIT_TIMEOUT) {
        ResetEvent(readDone_.get());
        OVERLAPPED overlapped{};
        overlapped.hEvent = readDone_.get();
        DWORD received = 0;
        if (!ReadFile(device_.get(), buffer.data(), lengths_.Input, nullptr, &overlapped) &&
            GetLastError() != ERROR_IO_PENDING) {
            TraceSystemError(L"ReadFile");
            sink_.OnReadFailed(deviceId_, serial_);
            return;
        }
        if (WaitForMultipleObjects(2, wake, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            // The buffer and the OVERLAPPED must outlive the read: wait for the cancel.
            CancelIoEx(device_.get(), &overlapped);
            GetOverlappedResult(device_.get(), &overlapped, &received, TRUE);
            return;
        }
        if (!GetOverlappedResult(device_.get(), &overlapped, &received, FALSE)) {
            TraceSystemError(L"ReadFile");
            sink_.OnReadFailed(deviceId_, serial_);
            return;
        }
        if (received > 0) sink_.OnReport(deviceId_, {buffer.data(), received});
    }
}

std::unique_ptr<CollectionIo::PendingWrite> CollectionIo::NewWriteSlot() {
    auto slot = std::make_unique<PendingWrite>();
    slot->done.reset(ManualResetEvent());
    return slot->done ? std::move(slot) : nullptr;
}

std::unique_ptr<CollectionIo::PendingWrite> CollectionIo::TakeWriteSlot() {
    return spareWrite_ ? std::move(spareWrite_) : NewWriteSlot();
}

void CollectionIo::ForgetFinishedWrites() {
    std::erase_if(heldWrites_, [](const std::unique_ptr<PendingWrite>& write) {
        return WaitForSingleObject(write->done.get(), 0) == WAIT_OBJECT_0;
    });
}

void CollectionIo::WaitForHeldWrites() {
    if (heldWrites_.empty()) return;
    CancelIoEx(device_.get(), nullptr);
    const ULONGLONG deadline = GetTickCount64() + kCloseGraceMs;
    for (std::unique_ptr<PendingWrite>& write : heldWrites_) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        // The system may still write into a write the device never lets go of: its memory
        // stays, a few bytes, rather than be reused under the system's hands.
        if (WaitForSingleObject(write->done.get(), left) != WAIT_OBJECT_0) static_cast<void>(write.release());
    }
    heldWrites_.clear();
}

bool CollectionIo::Write(const std::uint8_t* report, std::uint32_t length, DWORD timeoutMs) {
    // The device takes whole output reports of its own length, nothing else.
    if (!report || length == 0 || length != lengths_.Output || !device_) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::lock_guard lock(writeMutex_);
    ForgetFinishedWrites();
    if (heldWrites_.size() >= kMostHeldWrites) {
        SetLastError(ERROR_BUSY);
        TraceSystemError(L"WriteFile");
        return false;
    }
    std::unique_ptr<PendingWrite> write = TakeWriteSlot();
    if (!write) {
        TraceSystemError(L"CreateEvent");
        return false;
    }
    write->bytes.assign(report, report + length);
    ResetEvent(write->done.get());
    write->overlapped = OVERLAPPED{};
    write->overlapped.hEvent = write->done.get();
    DWORD written = 0;
    if (!WriteFile(device_.get(), write->bytes.data(), length, nullptr, &write->overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            TraceSystemError(L"WriteFile");
            spareWrite_ = std::move(write);
            return false;
        }
        if (WaitForSingleObject(write->done.get(), timeoutMs) != WAIT_OBJECT_0) {
            CancelIoEx(device_.get(), &write->overlapped);
            if (WaitForSingleObject(write->done.get(), kCancelGraceMs) == WAIT_OBJECT_0) {
                GetOverlappedResult(device_.get(), &write->overlapped, &written, FALSE);
                spareWrite_ = std::move(write);
            } else {
                heldWrites_.push_back(std::move(write));
            }
            SetLastError(ERROR_TIMEOUT);
            TraceSystemError(L"WriteFile");
            return false;
        }
    }
    const bool completed = GetOverlappedResult(device_.get(), &write->overlapped, &written, FALSE);
    const DWORD error = completed ? (written == length ? ERROR_SUCCESS : ERROR_WRITE_FAULT) : GetLastError();
    spareWrite_ = std::move(write);
    if (!completed) TraceSystemError(L"WriteFile", error);
    SetLastError(error);
    return error == ERROR_SUCCESS;
}

}  // namespace hiddevice
