#include "RawCollection.h"

// mingw's HID headers declare C functions without saying so.
extern "C" {
#include <hidsdi.h>
}

#include "CollectionPresence.h"

RawCollection::RawCollection(std::uint32_t child) : readDone_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    const auto path = virtualmouse::CollectionPath(TERN7_VENDOR_ID, child);
    if (!path) return;
    device_.reset(CreateFileW(path->c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
    // As HidDevice.dll does: the system's default of 32 reports overruns on a busy machine.
    if (device_) HidD_SetNumInputBuffers(device_.get(), 512);
}

RawCollection::~RawCollection() { CancelRead(); }

void RawCollection::CancelRead() {
    if (!reading_) return;
    CancelIoEx(device_.get(), &read_);
    DWORD ignored = 0;
    GetOverlappedResult(device_.get(), &read_, &ignored, TRUE);
    reading_ = false;
}

bool RawCollection::StartRead() {
    ResetEvent(readDone_.get());
    read_ = OVERLAPPED{};
    read_.hEvent = readDone_.get();
    reading_ = ReadFile(device_.get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), nullptr, &read_) ||
               GetLastError() == ERROR_IO_PENDING;
    return reading_;
}

std::optional<RawCollection::Transfer> RawCollection::FinishRead(DWORD timeoutMs) {
    if (WaitForSingleObject(readDone_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    reading_ = false;
    Transfer result;
    result.ok = GetOverlappedResult(device_.get(), &read_, &result.written, FALSE);
    result.error = result.ok ? ERROR_SUCCESS : GetLastError();
    return result;
}

std::optional<std::vector<std::uint8_t>> RawCollection::Read(DWORD timeoutMs) {
    if (!StartRead()) return std::nullopt;
    const auto finished = FinishRead(timeoutMs);
    if (!finished) CancelRead();
    if (!finished || !finished->ok) return std::nullopt;
    return std::vector<std::uint8_t>(buffer_.begin(), buffer_.begin() + finished->written);
}

RawCollection::Transfer RawCollection::Write(const std::vector<std::uint8_t>& report) {
    const UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.get();
    Transfer result;
    if (!WriteFile(device_.get(), report.data(), static_cast<DWORD>(report.size()), nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
        result.error = GetLastError();
        return result;
    }
    result.ok = GetOverlappedResult(device_.get(), &overlapped, &result.written, TRUE);
    result.error = result.ok ? ERROR_SUCCESS : GetLastError();
    return result;
}
