/* What one child answers the HID class driver: its descriptors and attributes, the input
 * reports queued for it (one read pending at a time, paced like an interrupt endpoint),
 * and the output reports written to it, logged and made to fail or wait as planned. */
#include "BusDriver.h"

static const WCHAR manufacturer[] = L"Ovix";
static const WCHAR product[] = L"Pelora Tern-7 (virtual)";
static const WCHAR serial_number[] = L"TERN7-VIRTUAL";

static NTSTATUS copy_out(IRP* irp, const void* data, ULONG size) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    if (stack->Parameters.DeviceIoControl.OutputBufferLength < size || !irp->UserBuffer)
        return bus_complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
    RtlCopyMemory(irp->UserBuffer, data, size);
    return bus_complete(irp, STATUS_SUCCESS, size);
}

static NTSTATUS device_descriptor(struct child* child, IRP* irp) {
    HID_DESCRIPTOR descriptor;
    RtlZeroMemory(&descriptor, sizeof(descriptor));
    descriptor.bLength = sizeof(descriptor);
    descriptor.bDescriptorType = HID_HID_DESCRIPTOR_TYPE;
    descriptor.bcdHID = 0x0111;
    descriptor.bNumDescriptors = 1;
    descriptor.DescriptorList[0].bReportType = HID_REPORT_DESCRIPTOR_TYPE;
    descriptor.DescriptorList[0].wReportLength = child->layout.descriptor_length;
    return copy_out(irp, &descriptor, sizeof(descriptor));
}

static NTSTATUS device_attributes(struct child* child, IRP* irp) {
    HID_DEVICE_ATTRIBUTES attributes;
    RtlZeroMemory(&attributes, sizeof(attributes));
    attributes.Size = sizeof(attributes);
    attributes.VendorID = child->layout.vendor_id;
    attributes.ProductID = child->layout.product_id;
    attributes.VersionNumber = child->layout.version;
    return copy_out(irp, &attributes, sizeof(attributes));
}

static NTSTATUS device_string(IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG_PTR which = (ULONG_PTR)stack->Parameters.DeviceIoControl.Type3InputBuffer & 0xffff;
    switch (which) {
        case HID_STRING_MANUFACTURER: return copy_out(irp, manufacturer, sizeof(manufacturer));
        case HID_STRING_PRODUCT: return copy_out(irp, product, sizeof(product));
        case HID_STRING_SERIAL_NUMBER: return copy_out(irp, serial_number, sizeof(serial_number));
        default: return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
    }
}

IRP* child_take_pending_read(struct child* child) {
    IRP* irp = child->pending_read;
    if (!irp) return NULL;
    child->pending_read = NULL;
    /* Being cancelled: the cancel routine completes it. */
    if (!IoSetCancelRoutine(irp, NULL)) return NULL;
    return irp;
}

IRP* child_take_due_read(struct child* child, LONGLONG now, LONGLONG* next_due) {
    IO_STACK_LOCATION* stack;
    const uint8_t* report;
    uint32_t length, skip;
    IRP* irp;

    *next_due = 0;
    if (!child->pending_read || !child->input.count) return NULL;
    if (now < child->next_input_due) {
        *next_due = child->next_input_due;
        return NULL;
    }
    if (!(irp = child_take_pending_read(child))) return NULL;

    report = child->input.reports + child->input.head * VMOUSE_MAX_REPORT;
    length = child->input.lengths[child->input.head];
    child->input.head = (child->input.head + 1) % VMOUSE_INPUT_CAPACITY;
    --child->input.count;
    ++child->inputs_sent;
    child->next_input_due = now + (LONGLONG)child->layout.input_interval_us * 10;

    /* The class driver puts the 0 of an unnumbered report back in front itself. */
    skip = child->layout.numbered_reports || length < 2 ? 0 : 1;
    stack = IoGetCurrentIrpStackLocation(irp);
    length -= skip;
    if (length > stack->Parameters.DeviceIoControl.OutputBufferLength)
        length = stack->Parameters.DeviceIoControl.OutputBufferLength;
    RtlCopyMemory(irp->UserBuffer, report + skip, length);
    irp->IoStatus.Status = STATUS_SUCCESS;
    irp->IoStatus.Information = length;
    return irp;
}

static void WINAPI cancel_read(DEVICE_OBJECT* device, IRP* irp) {
    struct child* child = device->DeviceExtension;
    KIRQL irql;

    IoReleaseCancelSpinLock(irp->CancelIrql);
    KeAcquireSpinLock(&child->bus->lock, &irql);
    if (child->pending_read == irp) child->pending_read = NULL;
    KeReleaseSpinLock(&child->bus->lock, irql);
    bus_complete(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS read_report(struct child* child, IRP* irp) {
    struct bus* bus = child->bus;
    LONGLONG next_due = 0;
    IRP* due;
    KIRQL irql;

    KeAcquireSpinLock(&bus->lock, &irql);
    if (!child->present || child->pending_read) {
        const NTSTATUS status = child->present ? STATUS_DEVICE_BUSY : STATUS_DEVICE_NOT_CONNECTED;
        KeReleaseSpinLock(&bus->lock, irql);
        return bus_complete(irp, status, 0);
    }
    IoMarkIrpPending(irp);
    IoSetCancelRoutine(irp, cancel_read);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
        KeReleaseSpinLock(&bus->lock, irql);
        bus_complete(irp, STATUS_CANCELLED, 0);
        return STATUS_PENDING;
    }
    child->pending_read = irp;
    due = child_take_due_read(child, scheduler_now(), &next_due);
    KeReleaseSpinLock(&bus->lock, irql);

    if (due)
        IoCompleteRequest(due, IO_NO_INCREMENT);
    else if (next_due)
        scheduler_wake(bus);
    return STATUS_PENDING;
}

/* With the bus's lock held. */
static uint8_t planned_outcome(struct bus* bus) {
    if (bus->failures.pass) {
        --bus->failures.pass;
        return VMOUSE_WRITE_TAKEN;
    }
    if (!bus->failures.fail) return VMOUSE_WRITE_TAKEN;
    if (bus->failures.fail != VMOUSE_FAIL_FOREVER) --bus->failures.fail;
    return VMOUSE_WRITE_FAILED;
}

static NTSTATUS write_report(struct child* child, IRP* irp) {
    const HID_TRANSFER_PACKET* packet = irp->UserBuffer;
    struct bus* bus = child->bus;
    uint8_t bytes[VMOUSE_MAX_REPORT];
    uint32_t length = 0, taken;
    uint8_t outcome;
    NTSTATUS status;
    KIRQL irql;

    if (!packet || !packet->reportBuffer || !packet->reportBufferLen)
        return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
    /* Logged as the host wrote it: the report identifier first, 0 for an unnumbered report. */
    if (!child->layout.numbered_reports) bytes[length++] = packet->reportId;
    taken = packet->reportBufferLen;
    if (taken > VMOUSE_MAX_REPORT - length) taken = VMOUSE_MAX_REPORT - length;
    RtlCopyMemory(bytes + length, packet->reportBuffer, taken);
    length += taken;

    KeAcquireSpinLock(&bus->lock, &irql);
    outcome = child->present ? planned_outcome(bus) : VMOUSE_WRITE_GONE;
    if (outcome == VMOUSE_WRITE_TAKEN)
        ++bus->writes_taken;
    else
        ++bus->writes_failed;
    event_log_append(&bus->log, VMOUSE_LOG_WRITE, (uint8_t)child->index, outcome, bytes, length);
    status = outcome == VMOUSE_WRITE_TAKEN    ? STATUS_SUCCESS
             : outcome == VMOUSE_WRITE_FAILED ? STATUS_UNSUCCESSFUL
                                              : STATUS_DEVICE_NOT_CONNECTED;
    irp->IoStatus.Status = status;
    /* What WriteFile reports as written: the whole report as the host passed it. */
    irp->IoStatus.Information = status == STATUS_SUCCESS ? length : 0;
    if (outcome != VMOUSE_WRITE_GONE && bus->write_delay_ms) {
        IoMarkIrpPending(irp);
        scheduler_delay(bus, irp, scheduler_now() + (LONGLONG)bus->write_delay_ms * 10000);
        KeReleaseSpinLock(&bus->lock, irql);
        scheduler_wake(bus);
        return STATUS_PENDING;
    }
    KeReleaseSpinLock(&bus->lock, irql);
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

NTSTATUS child_internal_ioctl(struct child* child, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);

    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
        case HID_IOCTL_GET_DEVICE_DESCRIPTOR: return device_descriptor(child, irp);
        case HID_IOCTL_GET_REPORT_DESCRIPTOR:
            return copy_out(irp, child->layout.descriptor, child->layout.descriptor_length);
        case HID_IOCTL_GET_DEVICE_ATTRIBUTES: return device_attributes(child, irp);
        case HID_IOCTL_GET_STRING: return device_string(irp);
        case HID_IOCTL_READ_REPORT: return read_report(child, irp);
        case HID_IOCTL_WRITE_REPORT: return write_report(child, irp);
        case HID_IOCTL_ACTIVATE_DEVICE:
        case HID_IOCTL_DEACTIVATE_DEVICE: return bus_complete(irp, STATUS_SUCCESS, 0);
        default: return bus_complete(irp, STATUS_NOT_SUPPORTED, 0);
    }
}
