/* What a HID minidriver and the bus below it need from the HID class driver, which
 * mingw-w64 lacks: it has no hidport.h, and its ddk/hidclass.h gives the internal
 * requests placeholder values (marked FIXME there). These are the values the class
 * driver sends. */
#pragma once

#include <ddk/wdm.h>

#define HID_INTERNAL_CODE(n) CTL_CODE(FILE_DEVICE_KEYBOARD, (n), METHOD_NEITHER, FILE_ANY_ACCESS)
#define HID_IOCTL_GET_DEVICE_DESCRIPTOR HID_INTERNAL_CODE(0)
#define HID_IOCTL_GET_REPORT_DESCRIPTOR HID_INTERNAL_CODE(1)
#define HID_IOCTL_READ_REPORT HID_INTERNAL_CODE(2)
#define HID_IOCTL_WRITE_REPORT HID_INTERNAL_CODE(3)
#define HID_IOCTL_GET_STRING HID_INTERNAL_CODE(4)
#define HID_IOCTL_ACTIVATE_DEVICE HID_INTERNAL_CODE(7)
#define HID_IOCTL_DEACTIVATE_DEVICE HID_INTERNAL_CODE(8)
#define HID_IOCTL_GET_DEVICE_ATTRIBUTES HID_INTERNAL_CODE(9)

#define HID_MINIDRIVER_REVISION 1
#define HID_HID_DESCRIPTOR_TYPE 0x21
#define HID_REPORT_DESCRIPTOR_TYPE 0x22

typedef struct _HID_MINIDRIVER_REGISTRATION {
    ULONG Revision;
    PDRIVER_OBJECT DriverObject;
    PUNICODE_STRING RegistryPath;
    ULONG DeviceExtensionSize;
    BOOLEAN DevicesArePolled;
    UCHAR Reserved[3];
} HID_MINIDRIVER_REGISTRATION;

NTSTATUS NTAPI HidRegisterMinidriver(HID_MINIDRIVER_REGISTRATION* registration);

/* The start of the extension the class driver gives each of its devices. Windows and
 * Wine order the fields after this one differently. */
typedef struct _HID_DEVICE_EXTENSION_START {
    PDEVICE_OBJECT PhysicalDeviceObject;
} HID_DEVICE_EXTENSION_START;

/* Declared in ntifs.h, which does not build beside wdm.h. */
NTSYSAPI NTSTATUS NTAPI ZwWaitForSingleObject(HANDLE handle, BOOLEAN alertable, PLARGE_INTEGER timeout);

typedef struct _HID_DEVICE_ATTRIBUTES {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
    USHORT Reserved[11];
} HID_DEVICE_ATTRIBUTES;

#include <pshpack1.h>
typedef struct _HID_DESCRIPTOR {
    UCHAR bLength;
    UCHAR bDescriptorType;
    USHORT bcdHID;
    UCHAR bCountry;
    UCHAR bNumDescriptors;
    struct {
        UCHAR bReportType;
        USHORT wReportLength;
    } DescriptorList[1];
} HID_DESCRIPTOR;
#include <poppack.h>

/* What a read or write request carries (METHOD_NEITHER: in Irp->UserBuffer). */
typedef struct _HID_TRANSFER_PACKET {
    PUCHAR reportBuffer;
    ULONG reportBufferLen;
    UCHAR reportId;
} HID_TRANSFER_PACKET;

#define HID_STRING_MANUFACTURER 1
#define HID_STRING_PRODUCT 2
#define HID_STRING_SERIAL_NUMBER 3
