/* The bus device: its plug-and-play life and the control requests of the user-mode tool. */
#include "BusDriver.h"

NTSTATUS bus_complete(IRP* irp, NTSTATUS status, ULONG_PTR information) {
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static NTSTATUS pass_down(struct bus* bus, IRP* irp) {
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(bus->lower, irp);
}

static DEVICE_RELATIONS* present_children(struct bus* bus) {
    DEVICE_RELATIONS* relations;
    KIRQL irql;
    uint32_t i;

    relations = ExAllocatePool(PagedPool, FIELD_OFFSET(DEVICE_RELATIONS, Objects[BUS_CHILD_SLOTS]));
    if (!relations) return NULL;
    KeAcquireSpinLock(&bus->lock, &irql);
    relations->Count = 0;
    for (i = 0; i < bus->child_count; ++i) {
        struct child* child = bus->children[i]->DeviceExtension;
        if (!child->present) continue;
        child->reported = TRUE;
        ObReferenceObject(child->self);
        relations->Objects[relations->Count++] = child->self;
    }
    KeReleaseSpinLock(&bus->lock, irql);
    return relations;
}

static void bus_remove(struct bus* bus) {
    children_unplug(bus);
    scheduler_stop(bus);
    IoSetDeviceInterfaceState(&bus->control_link, FALSE);
    RtlFreeUnicodeString(&bus->control_link);
    event_log_free(&bus->log);
}

static NTSTATUS bus_pnp(struct bus* bus, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status;

    switch (stack->MinorFunction) {
        case IRP_MN_START_DEVICE:
            IoSetDeviceInterfaceState(&bus->control_link, TRUE);
            irp->IoStatus.Status = STATUS_SUCCESS;
            return pass_down(bus, irp);
        case IRP_MN_QUERY_DEVICE_RELATIONS:
            if (stack->Parameters.QueryDeviceRelations.Type != BusRelations) return pass_down(bus, irp);
            {
                DEVICE_RELATIONS* relations = present_children(bus);
                if (!relations) return bus_complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
                irp->IoStatus.Information = (ULONG_PTR)relations;
                irp->IoStatus.Status = STATUS_SUCCESS;
            }
            return pass_down(bus, irp);
        case IRP_MN_REMOVE_DEVICE:
            bus_remove(bus);
            irp->IoStatus.Status = STATUS_SUCCESS;
            status = pass_down(bus, irp);
            IoDetachDevice(bus->lower);
            IoDeleteDevice(bus->self);
            return status;
        case IRP_MN_SURPRISE_REMOVAL:
        case IRP_MN_QUERY_REMOVE_DEVICE:
        case IRP_MN_CANCEL_REMOVE_DEVICE:
        case IRP_MN_STOP_DEVICE:
        case IRP_MN_QUERY_STOP_DEVICE:
        case IRP_MN_CANCEL_STOP_DEVICE: irp->IoStatus.Status = STATUS_SUCCESS; return pass_down(bus, irp);
        default: return pass_down(bus, irp);
    }
}

static void fill_state(struct bus* bus, struct vmouse_state* state) {
    KIRQL irql;
    uint32_t i;

    RtlZeroMemory(state, sizeof(*state));
    KeAcquireSpinLock(&bus->lock, &irql);
    state->plugged = bus->plugged;
    state->plug_count = bus->plug_count;
    state->log_first_kept = bus->log.first_kept;
    state->log_next = bus->log.next;
    state->log_mark = bus->log.mark;
    state->pass_remaining = bus->failures.pass;
    state->fail_remaining = bus->failures.fail;
    state->write_delay_ms = bus->write_delay_ms;
    state->writes_taken = bus->writes_taken;
    state->writes_failed = bus->writes_failed;
    for (i = 0; i < bus->child_count; ++i)
        state->child_count += ((const struct child*)bus->children[i]->DeviceExtension)->present;
    state->departing_children = bus->child_count - state->child_count;
    for (i = 0; i < VMOUSE_MAX_CHILDREN; ++i) {
        const struct child* child = bus_child(bus, i);
        if (!child) continue;
        state->reads_pending[i] = child->pending_read != NULL;
        state->inputs_queued[i] = child->input.count;
        state->inputs_sent[i] = child->inputs_sent;
    }
    KeReleaseSpinLock(&bus->lock, irql);
}

static NTSTATUS bus_control(struct bus* bus, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    const ULONG in_size = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG out_size = stack->Parameters.DeviceIoControl.OutputBufferLength;
    void* buffer = irp->AssociatedIrp.SystemBuffer;
    KIRQL irql;

    switch (stack->Parameters.DeviceIoControl.IoControlCode) {
        case IOCTL_VMOUSE_PLUG:
            if (in_size != sizeof(struct vmouse_layout)) return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
            return bus_complete(irp, children_plug(bus, buffer), 0);
        case IOCTL_VMOUSE_UNPLUG: children_unplug(bus); return bus_complete(irp, STATUS_SUCCESS, 0);
        case IOCTL_VMOUSE_SEND_INPUT:
            if (in_size < sizeof(struct vmouse_input)) return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
            return bus_complete(irp,
                                children_queue_input(bus, buffer, (const uint8_t*)buffer + sizeof(struct vmouse_input),
                                                     in_size - sizeof(struct vmouse_input)),
                                0);
        case IOCTL_VMOUSE_READ_LOG: {
            uint32_t from;
            ULONG written;
            if (in_size != sizeof(from) || out_size < sizeof(struct vmouse_log_chunk))
                return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
            from = *(const uint32_t*)buffer;
            KeAcquireSpinLock(&bus->lock, &irql);
            written = event_log_read(&bus->log, from, buffer, out_size);
            KeReleaseSpinLock(&bus->lock, irql);
            return bus_complete(irp, STATUS_SUCCESS, written);
        }
        case IOCTL_VMOUSE_MARK_LOG:
            KeAcquireSpinLock(&bus->lock, &irql);
            bus->log.mark = bus->log.next;
            KeReleaseSpinLock(&bus->lock, irql);
            return bus_complete(irp, STATUS_SUCCESS, 0);
        case IOCTL_VMOUSE_RESET_LOG:
            KeAcquireSpinLock(&bus->lock, &irql);
            event_log_reset(&bus->log);
            KeReleaseSpinLock(&bus->lock, irql);
            return bus_complete(irp, STATUS_SUCCESS, 0);
        case IOCTL_VMOUSE_ADD_NOTE:
            if (in_size == 0 || in_size > VMOUSE_MAX_REPORT) return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
            KeAcquireSpinLock(&bus->lock, &irql);
            event_log_append(&bus->log, VMOUSE_LOG_NOTE, 0, 0, buffer, in_size);
            KeReleaseSpinLock(&bus->lock, irql);
            return bus_complete(irp, STATUS_SUCCESS, 0);
        case IOCTL_VMOUSE_FAIL_WRITES:
            if (in_size != sizeof(struct vmouse_write_failures)) return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
            KeAcquireSpinLock(&bus->lock, &irql);
            bus->failures = *(const struct vmouse_write_failures*)buffer;
            KeReleaseSpinLock(&bus->lock, irql);
            return bus_complete(irp, STATUS_SUCCESS, 0);
        case IOCTL_VMOUSE_DELAY_WRITES:
            if (in_size != sizeof(uint32_t)) return bus_complete(irp, STATUS_INVALID_PARAMETER, 0);
            KeAcquireSpinLock(&bus->lock, &irql);
            bus->write_delay_ms = *(const uint32_t*)buffer;
            KeReleaseSpinLock(&bus->lock, irql);
            return bus_complete(irp, STATUS_SUCCESS, 0);
        case IOCTL_VMOUSE_READ_STATE:
            if (out_size < sizeof(struct vmouse_state)) return bus_complete(irp, STATUS_BUFFER_TOO_SMALL, 0);
            fill_state(bus, buffer);
            return bus_complete(irp, STATUS_SUCCESS, sizeof(struct vmouse_state));
        default: return bus_complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    }
}

static NTSTATUS WINAPI dispatch_pnp(DEVICE_OBJECT* device, IRP* irp) {
    struct bus* bus = device->DeviceExtension;
    if (bus->is_child) return child_pnp(device->DeviceExtension, irp);
    return bus_pnp(bus, irp);
}

static NTSTATUS WINAPI dispatch_control(DEVICE_OBJECT* device, IRP* irp) {
    struct bus* bus = device->DeviceExtension;
    if (bus->is_child) return bus_complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    return bus_control(bus, irp);
}

static NTSTATUS WINAPI dispatch_internal_control(DEVICE_OBJECT* device, IRP* irp) {
    struct bus* bus = device->DeviceExtension;
    if (!bus->is_child) return bus_complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
    return child_internal_ioctl(device->DeviceExtension, irp);
}

/* Only the control interface is opened; the children are opened through the HID class. */
static NTSTATUS WINAPI dispatch_open_close(DEVICE_OBJECT* device, IRP* irp) {
    struct bus* bus = device->DeviceExtension;
    return bus_complete(irp, bus->is_child ? STATUS_INVALID_DEVICE_REQUEST : STATUS_SUCCESS, 0);
}

static NTSTATUS WINAPI add_device(DRIVER_OBJECT* driver, DEVICE_OBJECT* root) {
    static const GUID control_class = VMOUSE_CONTROL_INTERFACE_INIT;
    DEVICE_OBJECT* device;
    struct bus* bus;
    NTSTATUS status;

    status = IoCreateDevice(driver, sizeof(struct bus), NULL, FILE_DEVICE_BUS_EXTENDER, 0, FALSE, &device);
    if (status) return status;
    bus = device->DeviceExtension;
    RtlZeroMemory(bus, sizeof(*bus));
    bus->self = device;
    KeInitializeSpinLock(&bus->lock);
    InitializeListHead(&bus->delayed_writes);
    KeInitializeEvent(&bus->wake, SynchronizationEvent, FALSE);

    if ((status = event_log_init(&bus->log)) ||
        (status = IoRegisterDeviceInterface(root, &control_class, NULL, &bus->control_link)) ||
        (status = scheduler_start(bus))) {
        event_log_free(&bus->log);
        RtlFreeUnicodeString(&bus->control_link);
        IoDeleteDevice(device);
        return status;
    }
    bus->lower = IoAttachDeviceToDeviceStack(device, root);
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI DriverEntry(DRIVER_OBJECT* driver, UNICODE_STRING* registry_path) {
    (void)registry_path;
    driver->DriverExtension->AddDevice = add_device;
    driver->MajorFunction[IRP_MJ_PNP] = dispatch_pnp;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_control;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatch_internal_control;
    driver->MajorFunction[IRP_MJ_CREATE] = dispatch_open_close;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatch_open_close;
    return STATUS_SUCCESS;
}
