/* The virtual mouse's HID minidriver: registers with the HID class driver and passes every
 * request the class driver makes of a collection down to the bus child below it, which
 * answers them all. */
#include "HidMinidriverApi.h"

/* Nothing sits between the class driver's device and the bus child, so the child is the
 * device below. */
static NTSTATUS pass_down(DEVICE_OBJECT* device, IRP* irp) {
    const HID_DEVICE_EXTENSION_START* extension = device->DeviceExtension;
    IoSkipCurrentIrpStackLocation(irp);
    return IoCallDriver(extension->PhysicalDeviceObject, irp);
}

static NTSTATUS WINAPI dispatch_pnp(DEVICE_OBJECT* device, IRP* irp) { return pass_down(device, irp); }

static NTSTATUS WINAPI dispatch_internal_control(DEVICE_OBJECT* device, IRP* irp) { return pass_down(device, irp); }

static NTSTATUS WINAPI add_device(DRIVER_OBJECT* driver, DEVICE_OBJECT* device) {
    (void)driver;
    device->Flags &= ~DO_DEVICE_INITIALIZING;
    return STATUS_SUCCESS;
}

NTSTATUS WINAPI DriverEntry(DRIVER_OBJECT* driver, UNICODE_STRING* registry_path) {
    HID_MINIDRIVER_REGISTRATION registration;

    /* The class driver takes these over and calls them for its own devices. */
    driver->DriverExtension->AddDevice = add_device;
    driver->MajorFunction[IRP_MJ_PNP] = dispatch_pnp;
    driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatch_internal_control;

    RtlZeroMemory(&registration, sizeof(registration));
    registration.Revision = HID_MINIDRIVER_REVISION;
    registration.DriverObject = driver;
    registration.RegistryPath = registry_path;
    registration.DeviceExtensionSize = 0;
    registration.DevicesArePolled = FALSE;
    return HidRegisterMinidriver(&registration);
}
