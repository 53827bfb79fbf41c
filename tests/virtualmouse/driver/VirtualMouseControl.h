/* The control interface of the virtual mouse's bus driver, shared by the driver and the
 * user-mode code that drives it. Every request is METHOD_BUFFERED on the device interface
 * below; include <windows.h> and <winioctl.h> (user mode) or <ddk/wdm.h> (the driver)
 * first.
 *
 * The driver is deliberately dumb: it holds the layout it was plugged with, queues input
 * reports for its children, logs what it received and fails or delays writes as told.
 * What the reports mean is for the user-mode model to decide. */
#pragma once

#include <stdint.h>

/* {6F1C52A4-3B7E-4D9A-9C15-2E8B7A40D316} */
#define VMOUSE_CONTROL_INTERFACE_INIT                                                  \
    {                                                                                  \
        0x6f1c52a4, 0x3b7e, 0x4d9a, { 0x9c, 0x15, 0x2e, 0x8b, 0x7a, 0x40, 0xd3, 0x16 } \
    }

/* The hardware id of the root device the bus driver serves, and the compatible id each
 * child reports, which the .inf gives to the HID minidriver. */
#define VMOUSE_BUS_HARDWARE_ID L"ROOT\\TERN7VMOUSE"
#define VMOUSE_CHILD_COMPATIBLE_ID L"TERN7VMOUSE\\HIDCOLLECTION"

enum {
    VMOUSE_MAX_CHILDREN = 4,
    VMOUSE_MAX_DESCRIPTOR = 256,
    /* Reports and notes travel in slots of this size, report identifier first. */
    VMOUSE_MAX_REPORT = 64,
    /* Input reports waiting in one child. */
    VMOUSE_INPUT_CAPACITY = 4096,
    /* Entries the log keeps (some 150 uploads); older ones are dropped. */
    VMOUSE_LOG_CAPACITY = 4096,
};

#define VMOUSE_IOCTL(n) CTL_CODE(FILE_DEVICE_UNKNOWN, 0x800 + (n), METHOD_BUFFERED, FILE_ANY_ACCESS)

/* in: struct vmouse_layout. Creates the children; refused while plugged. */
#define IOCTL_VMOUSE_PLUG VMOUSE_IOCTL(0)
/* Removes the children: pending reads end, later writes to them fail. */
#define IOCTL_VMOUSE_UNPLUG VMOUSE_IOCTL(1)
/* in: struct vmouse_input followed by count * length bytes. */
#define IOCTL_VMOUSE_SEND_INPUT VMOUSE_IOCTL(2)
/* in: uint32_t first sequence wanted; out: struct vmouse_log_chunk and its entries. */
#define IOCTL_VMOUSE_READ_LOG VMOUSE_IOCTL(3)
/* Later log readers start after what is logged now; the entries stay for the model. */
#define IOCTL_VMOUSE_MARK_LOG VMOUSE_IOCTL(4)
/* in: up to VMOUSE_MAX_REPORT bytes the controller wants kept in order with the traffic. */
#define IOCTL_VMOUSE_ADD_NOTE VMOUSE_IOCTL(5)
/* in: struct vmouse_write_failures */
#define IOCTL_VMOUSE_FAIL_WRITES VMOUSE_IOCTL(6)
/* in: uint32_t milliseconds each write takes from now on; 0 for none. */
#define IOCTL_VMOUSE_DELAY_WRITES VMOUSE_IOCTL(7)
/* out: struct vmouse_state */
#define IOCTL_VMOUSE_READ_STATE VMOUSE_IOCTL(8)
/* Forgets the whole log, for a controller that starts the device afresh. */
#define IOCTL_VMOUSE_RESET_LOG VMOUSE_IOCTL(9)

struct vmouse_child_layout {
    uint16_t vendor_id;
    uint16_t product_id;
    uint16_t version;
    uint16_t descriptor_length;
    /* The child sends at most one input report per interval, as a USB interrupt
     * endpoint polled at that rate does; 0 sends them as fast as they are read. */
    uint32_t input_interval_us;
    /* Nonzero when the descriptor numbers its reports. Otherwise a report travels with a
     * 0 in front, as ReadFile and WriteFile show it, which the driver strips and adds. */
    uint32_t numbered_reports;
    uint8_t descriptor[VMOUSE_MAX_DESCRIPTOR];
};

struct vmouse_layout {
    uint32_t child_count;
    /* Every child reports it as its container: one physical device. */
    uint8_t container_id[16];
    struct vmouse_child_layout children[VMOUSE_MAX_CHILDREN];
};

struct vmouse_input {
    uint32_t child;  /* index into the layout */
    uint32_t length; /* of each report, identifier byte included, as ReadFile returns it */
    uint32_t count;
};

enum vmouse_log_kind {
    VMOUSE_LOG_WRITE = 1,
    VMOUSE_LOG_PLUG = 2,
    VMOUSE_LOG_UNPLUG = 3,
    VMOUSE_LOG_NOTE = 4,
};

enum vmouse_write_outcome {
    VMOUSE_WRITE_TAKEN = 0,
    VMOUSE_WRITE_FAILED = 1, /* made to fail */
    VMOUSE_WRITE_GONE = 2,   /* the child had been unplugged */
};

struct vmouse_log_entry {
    uint32_t sequence;
    uint8_t kind;
    uint8_t child;   /* writes */
    uint8_t outcome; /* writes */
    uint8_t length;
    uint8_t bytes[VMOUSE_MAX_REPORT]; /* a write: report identifier first */
};

struct vmouse_log_chunk {
    uint32_t first_kept; /* the oldest sequence still in the log */
    uint32_t next;       /* the sequence the next entry will get */
    uint32_t count;      /* entries that follow */
    uint32_t reserved;
};

/* Writes pass `pass` times, then fail `fail` times (VMOUSE_FAIL_FOREVER: all of them),
 * then pass again. */
#define VMOUSE_FAIL_FOREVER 0xffffffffu
struct vmouse_write_failures {
    uint32_t pass;
    uint32_t fail;
};

struct vmouse_state {
    uint32_t plugged;
    uint32_t child_count;        /* of the current plug */
    uint32_t departing_children; /* unplugged, not yet removed by the system */
    uint32_t plug_count;
    uint32_t log_first_kept;
    uint32_t log_next;
    uint32_t log_mark;
    uint32_t pass_remaining;
    uint32_t fail_remaining;
    uint32_t write_delay_ms;
    uint32_t writes_taken;
    uint32_t writes_failed;
    uint32_t reads_pending[VMOUSE_MAX_CHILDREN];
    uint32_t inputs_queued[VMOUSE_MAX_CHILDREN];
    uint32_t inputs_sent[VMOUSE_MAX_CHILDREN];
};
