#include "Tern7Layout.h"

#include <algorithm>

#include "HidDeviceContract.h"

namespace virtualmouse {

namespace {

// Buttons 1..3, then X, Y and wheel as relative bytes: 4 bytes, unnumbered.
constexpr std::uint8_t kPointer[] = {
    0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,              // Generic Desktop, Mouse, Application
    0x09, 0x01, 0xA1, 0x00,                          //   Pointer, Physical
    0x05, 0x09, 0x19, 0x01, 0x29, 0x03,              //     Buttons 1..3
    0x15, 0x00, 0x25, 0x01, 0x95, 0x03, 0x75, 0x01,  //     3 bits of 0..1
    0x81, 0x02, 0x95, 0x01, 0x75, 0x05, 0x81, 0x01,  //     Input; 5 bits of padding
    0x05, 0x01, 0x09, 0x30, 0x09, 0x31, 0x09, 0x38,  //     X, Y, Wheel
    0x15, 0x81, 0x25, 0x7F, 0x75, 0x08, 0x95, 0x03,  //     3 bytes of -127..127
    0x81, 0x06, 0xC0, 0xC0,                          //     Input (relative); end, end
};

// Report 3: one 16-bit Consumer usage, the code the agent decodes.
constexpr std::uint8_t kKeys[] = {
    0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01,  // Consumer, Consumer Control, Application
    0x85, 0x03,                          //   Report ID 3
    0x15, 0x00, 0x26, 0xFF, 0x03,        //   Logical 0..0x3FF
    0x19, 0x00, 0x2A, 0xFF, 0x03,        //   Usages 0..0x3FF
    0x75, 0x10, 0x95, 0x01,              //   one 16-bit field
    0x81, 0x00,                          //   Input (array)
    0xC0,
};

// 32 bytes each way, unnumbered.
constexpr std::uint8_t kVendor[] = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,  // page 0xFF00, usage 1, Application
    0x15, 0x00, 0x26, 0xFF, 0x00,              //   Logical 0..255
    0x75, 0x08, 0x95, 0x20, 0x09, 0x01,        //   32 bytes
    0x81, 0x02,                                //   Input
    0x95, 0x20, 0x09, 0x01,                    //   32 bytes
    0x91, 0x02,                                //   Output
    0xC0,
};

vmouse_child_layout Child(std::uint16_t vendorId, std::span<const std::uint8_t> descriptor, bool numbered) {
    vmouse_child_layout child{};
    child.vendor_id = vendorId;
    child.product_id = static_cast<std::uint16_t>(hid::kProductId);
    child.version = 0x0100;
    child.descriptor_length = static_cast<std::uint16_t>(descriptor.size());
    child.input_interval_us = kInputIntervalUs;
    child.numbered_reports = numbered ? 1 : 0;
    std::copy(descriptor.begin(), descriptor.end(), child.descriptor);
    return child;
}

}  // namespace

std::span<const std::uint8_t> PointerDescriptor() { return kPointer; }
std::span<const std::uint8_t> KeyDescriptor() { return kKeys; }
std::span<const std::uint8_t> VendorDescriptor() { return kVendor; }

vmouse_layout Tern7Layout(std::uint16_t vendorId) {
    static_assert(sizeof kPointer <= VMOUSE_MAX_DESCRIPTOR && sizeof kKeys <= VMOUSE_MAX_DESCRIPTOR &&
                  sizeof kVendor <= VMOUSE_MAX_DESCRIPTOR);
    // {7E57A7E7-0143-4B1D-8C3E-5E0F1A2B3C4D}
    static constexpr std::uint8_t kContainer[16] = {0xE7, 0xA7, 0x57, 0x7E, 0x43, 0x01, 0x1D, 0x4B,
                                                    0x8C, 0x3E, 0x5E, 0x0F, 0x1A, 0x2B, 0x3C, 0x4D};
    vmouse_layout layout{};
    layout.child_count = kChildCount;
    std::copy(std::begin(kContainer), std::end(kContainer), layout.container_id);
    layout.children[kPointerChild] = Child(vendorId, kPointer, false);
    layout.children[kKeyChild] = Child(vendorId, kKeys, true);
    layout.children[kVendorChild] = Child(vendorId, kVendor, false);
    return layout;
}

std::uint32_t InputReportLength(std::uint32_t child) {
    switch (child) {
        case kPointerChild: return kPointerReportLength;
        case kKeyChild: return kKeyReportLength;
        case kVendorChild: return kVendorReportLength;
        default: return 0;
    }
}

}  // namespace virtualmouse
