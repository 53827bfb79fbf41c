#include "CollectionIo.h"

#include <atomic>
#include <vector>

#include "SystemError.h"

namespace hiddevice {

namespace {

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
      writeDone_(ManualResetEvent()) {}

CollectionIo::~CollectionIo() {
    if (stop_) SetEvent(stop_.get());
    if (reader_.joinable()) reader_.join();
}

bool CollectionIo::StartReading() {
    if (!device_ || !stop_ || !readDone_ || !writeDone_) return false;
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

bool CollectionIo::Write(const std::uint8_t* report, std::uint32_t length, DWORD timeoutMs) {
    // The device takes whole output reports of its own length, nothing else.
    if (!report || length == 0 || length != lengths_.Output || !device_ || !writeDone_) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::lock_guard lock(writeMutex_);
    const std::vector<std::uint8_t> bytes(report, report + length);
    ResetEvent(writeDone_.get());
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeDone_.get();
    DWORD written = 0;
    if (!WriteFile(device_.get(), bytes.data(), length, nullptr, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            TraceSystemError(L"WriteFile");
            return false;
        }
        if (WaitForSingleObject(writeDone_.get(), timeoutMs) != WAIT_OBJECT_0) {
            CancelIoEx(device_.get(), &overlapped);
            GetOverlappedResult(device_.get(), &overlapped, &written, TRUE);
            SetLastError(ERROR_TIMEOUT);
            TraceSystemError(L"WriteFile");
            return false;
        }
    }
    if (!GetOverlappedResult(device_.get(), &overlapped, &written, FALSE)) {
        TraceSystemError(L"WriteFile");
        return false;
    }
    if (written != length) SetLastError(ERROR_WRITE_FAULT);
    return written == length;
}

}  // namespace hiddevice
