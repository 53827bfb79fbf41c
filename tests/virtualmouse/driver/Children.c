/* The bus's children, each a HID collection: plugged in with the controller's layout,
 * pulled out on request, and identified to the plug-and-play manager. */
#include "BusDriver.h"

#define PNP_DEVICE_REMOVED 0x00000008

/* Wide text built in pool memory, as the plug-and-play manager takes identifiers. */
struct text {
    WCHAR* buffer;
    ULONG length;
    ULONG capacity;
};

static BOOLEAN text_init(struct text* text, ULONG capacity) {
    text->buffer = ExAllocatePool(PagedPool, capacity * sizeof(WCHAR));
    text->length = 0;
    text->capacity = text->buffer ? capacity : 0;
    if (text->buffer) RtlZeroMemory(text->buffer, capacity * sizeof(WCHAR));
    return text->buffer != NULL;
}

/* Keeps room for the terminating nulls of a multi-string. */
static void text_put(struct text* text, const WCHAR* part) {
    while (*part && text->length + 2 < text->capacity) text->buffer[text->length++] = *part++;
}

static void text_put_hex(struct text* text, uint32_t value, int digits) {
    static const WCHAR hex[] = L"0123456789ABCDEF";
    WCHAR part[9];
    int i;
    if (digits > 8) digits = 8;
    for (i = 0; i < digits; ++i) part[i] = hex[(value >> (4 * (digits - 1 - i))) & 0xf];
    part[digits] = 0;
    text_put(text, part);
}

/* Ends one string of a multi-string. */
static void text_end_string(struct text* text) {
    if (text->length + 1 < text->capacity) text->buffer[text->length++] = 0;
}

/* TERN7VMOUSE\VID_3E71&PID_0143&COL02: the collection numbers of a real mouse's paths. */
static void put_device_id(struct text* text, const struct child* child) {
    text_put(text, L"TERN7VMOUSE\\VID_");
    text_put_hex(text, child->layout.vendor_id, 4);
    text_put(text, L"&PID_");
    text_put_hex(text, child->layout.product_id, 4);
    text_put(text, L"&COL");
    text_put_hex(text, child->index + 1, 2);
}

static void put_container_id(struct text* text, const uint8_t id[16]) {
    int i;
    text_put(text, L"{");
    text_put_hex(text, id[0] | id[1] << 8 | id[2] << 16 | (uint32_t)id[3] << 24, 8);
    text_put(text, L"-");
    text_put_hex(text, id[4] | id[5] << 8, 4);
    text_put(text, L"-");
    text_put_hex(text, id[6] | id[7] << 8, 4);
    text_put(text, L"-");
    for (i = 8; i < 16; ++i) {
        if (i == 10) text_put(text, L"-");
        text_put_hex(text, id[i], 2);
    }
    text_put(text, L"}");
}

static NTSTATUS query_id(struct child* child, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    struct text text;

    if (!text_init(&text, 128)) return STATUS_INSUFFICIENT_RESOURCES;
    switch (stack->Parameters.QueryId.IdType) {
        case BusQueryDeviceID: put_device_id(&text, child); break;
        case BusQueryHardwareIDs:
            put_device_id(&text, child);
            text_end_string(&text);
            break;
        case BusQueryCompatibleIDs:
            text_put(&text, VMOUSE_CHILD_COMPATIBLE_ID);
            text_end_string(&text);
            break;
        case BusQueryInstanceID: text_put(&text, L"1"); break;
        case BusQueryContainerID: put_container_id(&text, child->bus->container_id); break;
        default: ExFreePool(text.buffer); return irp->IoStatus.Status;
    }
    irp->IoStatus.Information = (ULONG_PTR)text.buffer;
    return STATUS_SUCCESS;
}

static void free_child(struct child* child) {
    if (child->input.reports) ExFreePoolWithTag(child->input.reports, VMOUSE_POOL_TAG);
    if (child->input.lengths) ExFreePoolWithTag(child->input.lengths, VMOUSE_POOL_TAG);
    IoDeleteDevice(child->self);
}

static void end_pending_read(struct child* child, NTSTATUS status) {
    KIRQL irql;
    IRP* irp;

    KeAcquireSpinLock(&child->bus->lock, &irql);
    irp = child_take_pending_read(child);
    KeReleaseSpinLock(&child->bus->lock, irql);
    if (irp) bus_complete(irp, status, 0);
}

/* Forgets a child the system removed; it may still be listed when the bus itself goes. */
static void detach_from_bus(struct child* child) {
    struct bus* bus = child->bus;
    KIRQL irql;
    uint32_t i;

    KeAcquireSpinLock(&bus->lock, &irql);
    child->present = FALSE;
    for (i = 0; i < bus->child_count; ++i) {
        if (bus->children[i] != child->self) continue;
        bus->children[i] = bus->children[--bus->child_count];
        break;
    }
    KeReleaseSpinLock(&bus->lock, irql);
}

NTSTATUS child_pnp(struct child* child, IRP* irp) {
    IO_STACK_LOCATION* stack = IoGetCurrentIrpStackLocation(irp);
    NTSTATUS status = irp->IoStatus.Status;

    switch (stack->MinorFunction) {
        case IRP_MN_QUERY_ID: status = query_id(child, irp); break;
        case IRP_MN_QUERY_CAPABILITIES: {
            DEVICE_CAPABILITIES* caps = stack->Parameters.DeviceCapabilities.Capabilities;
            caps->Removable = 1;
            caps->SurpriseRemovalOK = 1;
            caps->SilentInstall = 1;
            status = STATUS_SUCCESS;
            break;
        }
        case IRP_MN_QUERY_DEVICE_RELATIONS:
            if (stack->Parameters.QueryDeviceRelations.Type == TargetDeviceRelation) {
                DEVICE_RELATIONS* relations = ExAllocatePool(PagedPool, sizeof(*relations));
                if (!relations) {
                    status = STATUS_INSUFFICIENT_RESOURCES;
                    break;
                }
                ObReferenceObject(child->self);
                relations->Count = 1;
                relations->Objects[0] = child->self;
                irp->IoStatus.Information = (ULONG_PTR)relations;
                status = STATUS_SUCCESS;
            }
            break;
        case IRP_MN_QUERY_PNP_DEVICE_STATE:
            irp->IoStatus.Information = child->present ? 0 : PNP_DEVICE_REMOVED;
            status = STATUS_SUCCESS;
            break;
        case IRP_MN_START_DEVICE:
        case IRP_MN_QUERY_REMOVE_DEVICE:
        case IRP_MN_CANCEL_REMOVE_DEVICE:
        case IRP_MN_STOP_DEVICE:
        case IRP_MN_QUERY_STOP_DEVICE:
        case IRP_MN_CANCEL_STOP_DEVICE: status = STATUS_SUCCESS; break;
        case IRP_MN_SURPRISE_REMOVAL:
            end_pending_read(child, STATUS_DELETE_PENDING);
            status = STATUS_SUCCESS;
            break;
        case IRP_MN_REMOVE_DEVICE:
            detach_from_bus(child);
            end_pending_read(child, STATUS_DELETE_PENDING);
            bus_complete(irp, STATUS_SUCCESS, 0);
            free_child(child);
            return STATUS_SUCCESS;
        default: break;
    }
    irp->IoStatus.Status = status;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static BOOLEAN layout_is_sound(const struct vmouse_layout* layout) {
    uint32_t i;
    if (layout->child_count == 0 || layout->child_count > VMOUSE_MAX_CHILDREN) return FALSE;
    for (i = 0; i < layout->child_count; ++i) {
        const struct vmouse_child_layout* child = &layout->children[i];
        if (child->descriptor_length == 0 || child->descriptor_length > VMOUSE_MAX_DESCRIPTOR) return FALSE;
    }
    return TRUE;
}

static NTSTATUS create_child(struct bus* bus, const struct vmouse_child_layout* layout, uint32_t index,
                             DEVICE_OBJECT** created) {
    DEVICE_OBJECT* device;
    struct child* child;
    NTSTATUS status;

    /* Unnamed: Wine names the device objects it enumerates itself. */
    status = IoCreateDevice(bus->self->DriverObject, sizeof(struct child), NULL, FILE_DEVICE_UNKNOWN,
                            FILE_AUTOGENERATED_DEVICE_NAME, FALSE, &device);
    if (status) return status;
    child = device->DeviceExtension;
    RtlZeroMemory(child, sizeof(*child));
    child->is_child = TRUE;
    child->self = device;
    child->bus = bus;
    child->index = index;
    child->present = TRUE;
    child->layout = *layout;
    child->input.reports =
        ExAllocatePoolWithTag(NonPagedPool, VMOUSE_INPUT_CAPACITY * VMOUSE_MAX_REPORT, VMOUSE_POOL_TAG);
    child->input.lengths = ExAllocatePoolWithTag(NonPagedPool, VMOUSE_INPUT_CAPACITY, VMOUSE_POOL_TAG);
    if (!child->input.reports || !child->input.lengths) {
        free_child(child);
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    *created = device;
    return STATUS_SUCCESS;
}

struct child* bus_child(struct bus* bus, uint32_t index) {
    uint32_t i;
    for (i = 0; i < bus->child_count; ++i) {
        struct child* child = bus->children[i]->DeviceExtension;
        if (child->present && child->index == index) return child;
    }
    return NULL;
}

NTSTATUS children_plug(struct bus* bus, const struct vmouse_layout* layout) {
    DEVICE_OBJECT* created[VMOUSE_MAX_CHILDREN];
    NTSTATUS status = STATUS_SUCCESS;
    uint32_t count, i;
    KIRQL irql;

    if (!layout_is_sound(layout)) return STATUS_INVALID_PARAMETER;
    KeAcquireSpinLock(&bus->lock, &irql);
    if (bus->plugged) status = STATUS_DEVICE_BUSY;
    /* The children of earlier plugs may still be on their way out. */
    else if (bus->child_count + layout->child_count > BUS_CHILD_SLOTS)
        status = STATUS_DEVICE_BUSY;
    else
        bus->plugged = TRUE;
    KeReleaseSpinLock(&bus->lock, irql);
    if (status) return status;

    for (count = 0; count < layout->child_count; ++count) {
        if ((status = create_child(bus, &layout->children[count], count, &created[count]))) break;
    }
    KeAcquireSpinLock(&bus->lock, &irql);
    if (status) {
        bus->plugged = FALSE;
    } else {
        RtlCopyMemory(bus->container_id, layout->container_id, sizeof(bus->container_id));
        for (i = 0; i < count; ++i) bus->children[bus->child_count++] = created[i];
        ++bus->plug_count;
        event_log_append(&bus->log, VMOUSE_LOG_PLUG, 0, 0, NULL, 0);
    }
    KeReleaseSpinLock(&bus->lock, irql);
    if (status) {
        for (i = 0; i < count; ++i) free_child(created[i]->DeviceExtension);
        return status;
    }
    IoInvalidateDeviceRelations(bus->lower, BusRelations);
    return STATUS_SUCCESS;
}

void children_unplug(struct bus* bus) {
    IRP* reads[BUS_CHILD_SLOTS];
    struct child* unreported[BUS_CHILD_SLOTS];
    uint32_t i, read_count = 0, unreported_count = 0;
    KIRQL irql;

    KeAcquireSpinLock(&bus->lock, &irql);
    if (!bus->plugged) {
        KeReleaseSpinLock(&bus->lock, irql);
        return;
    }
    bus->plugged = FALSE;
    for (i = 0; i < bus->child_count;) {
        struct child* child = bus->children[i]->DeviceExtension;
        IRP* read = child->present ? child_take_pending_read(child) : NULL;
        if (read) reads[read_count++] = read;
        child->present = FALSE;
        child->input.count = 0;
        /* The system removes those it was told of (child_pnp); the others go now. */
        if (!child->reported) {
            unreported[unreported_count++] = child;
            bus->children[i] = bus->children[--bus->child_count];
        } else {
            ++i;
        }
    }
    event_log_append(&bus->log, VMOUSE_LOG_UNPLUG, 0, 0, NULL, 0);
    KeReleaseSpinLock(&bus->lock, irql);

    for (i = 0; i < read_count; ++i) bus_complete(reads[i], STATUS_DEVICE_NOT_CONNECTED, 0);
    for (i = 0; i < unreported_count; ++i) free_child(unreported[i]);
    IoInvalidateDeviceRelations(bus->lower, BusRelations);
}

NTSTATUS children_queue_input(struct bus* bus, const struct vmouse_input* input, const uint8_t* reports,
                              ULONG reports_size) {
    struct child* child;
    LONGLONG next_due = 0;
    IRP* read = NULL;
    uint32_t i;
    KIRQL irql;

    if (input->length == 0 || input->length > VMOUSE_MAX_REPORT || input->count == 0 ||
        input->count > VMOUSE_INPUT_CAPACITY || reports_size != input->length * input->count)
        return STATUS_INVALID_PARAMETER;

    KeAcquireSpinLock(&bus->lock, &irql);
    if (!bus->plugged || !(child = bus_child(bus, input->child))) {
        KeReleaseSpinLock(&bus->lock, irql);
        return bus->plugged ? STATUS_INVALID_PARAMETER : STATUS_DEVICE_NOT_CONNECTED;
    }
    if (child->input.count + input->count > VMOUSE_INPUT_CAPACITY) {
        KeReleaseSpinLock(&bus->lock, irql);
        return STATUS_INSUFFICIENT_RESOURCES;
    }
    for (i = 0; i < input->count; ++i) {
        const uint32_t slot = (child->input.head + child->input.count) % VMOUSE_INPUT_CAPACITY;
        RtlCopyMemory(child->input.reports + slot * VMOUSE_MAX_REPORT, reports + i * input->length, input->length);
        child->input.lengths[slot] = (uint8_t)input->length;
        ++child->input.count;
    }
    read = child_take_due_read(child, scheduler_now(), &next_due);
    KeReleaseSpinLock(&bus->lock, irql);

    if (read)
        IoCompleteRequest(read, IO_NO_INCREMENT);
    else if (next_due)
        scheduler_wake(bus);
    return STATUS_SUCCESS;
}
