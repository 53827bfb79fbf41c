#pragma once
// Output reports as the agent sends them to the mouse, for the model's tests.
#include <cstdint>
#include <vector>

#include "MouseModel.h"

namespace simmouse::testing {

inline std::vector<std::uint8_t> EmptyReport() { return std::vector<std::uint8_t>(kOutputReportSize, 0); }

inline std::vector<std::uint8_t> GlobalReport(int profileNumber, int pollingRateCode) {
    auto report = EmptyReport();
    report[1] = 7;
    report[2] = 1;
    report[3] = static_cast<std::uint8_t>(profileNumber);
    report[4] = static_cast<std::uint8_t>(1u << pollingRateCode);
    return report;
}

inline std::vector<std::uint8_t> HeaderReport(int profileNumber) {
    auto report = EmptyReport();
    report[1] = 7;
    report[2] = 2;
    report[3] = static_cast<std::uint8_t>(profileNumber);
    report[29] = 0x55;
    report[30] = 0xAA;
    report[31] = 0x33;
    report[32] = 0xCC;
    return report;
}

inline std::vector<std::uint8_t> ParameterReport(std::uint8_t marker) {
    auto report = EmptyReport();
    report[1] = 7;
    report[2] = 3;
    report[5] = marker;
    return report;
}

inline std::vector<std::uint8_t> PageReport(const SlotTable& table, std::size_t page) {
    auto report = EmptyReport();
    for (std::size_t i = 0; i < kUploadPageSize; ++i) report[1 + i] = table[page * kUploadPageSize + i];
    return report;
}

// A slot table whose button records send key codes: record kind 4, code in byte 3.
inline SlotTable TableWithKeyCode(std::size_t slot, std::uint8_t code) {
    SlotTable table{};
    for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i * 7 + 1);
    for (std::size_t s = 0; s < kSlotCount; ++s) table[s * kSlotRecordSize] = 1;  // plain mouse buttons
    table[slot * kSlotRecordSize] = 4;
    table[slot * kSlotRecordSize + 3] = code;
    return table;
}

// Sends a whole upload; true when every write was taken.
inline bool Upload(MouseModel& mouse, int profileNumber, const SlotTable& table, std::uint8_t marker = 0x5A) {
    bool ok = mouse.Write(kSecondCollection, HeaderReport(profileNumber));
    ok = mouse.Write(kSecondCollection, ParameterReport(marker)) && ok;
    for (std::size_t page = 0; page < kUploadPageCount; ++page) {
        ok = mouse.Write(kSecondCollection, PageReport(table, page)) && ok;
    }
    return ok;
}

}  // namespace simmouse::testing
