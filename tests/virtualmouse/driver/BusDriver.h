/* The virtual mouse's bus driver: a root-enumerated bus whose children are the mouse's
 * HID collections. The bus device takes the control requests; each child answers the
 * HID class driver's requests, passed down to it by the minidriver above. One lock, the
 * bus's, guards everything below; no request waits while holding it. */
#pragma once

#include <ddk/wdm.h>

#include "HidMinidriverApi.h"
#include "VirtualMouseControl.h"

struct event_log {
    struct vmouse_log_entry* entries; /* VMOUSE_LOG_CAPACITY of them, a ring */
    uint32_t first_kept;
    uint32_t next;
    uint32_t mark;
};

struct child;

enum { BUS_CHILD_SLOTS = 4 * VMOUSE_MAX_CHILDREN };

struct bus {
    BOOLEAN is_child; /* first in every extension of this driver */
    DEVICE_OBJECT* self;
    DEVICE_OBJECT* lower;
    UNICODE_STRING control_link;
    KSPIN_LOCK lock;

    BOOLEAN plugged;
    uint32_t plug_count;
    uint8_t container_id[16];
    /* The children of the current plug and those of earlier plugs that the system has
     * not removed yet. */
    uint32_t child_count;
    DEVICE_OBJECT* children[BUS_CHILD_SLOTS];

    struct event_log log;
    struct vmouse_write_failures failures; /* what is left of the plan */
    uint32_t write_delay_ms;
    uint32_t writes_taken;
    uint32_t writes_failed;

    /* Requests completed later by the scheduler thread (Scheduler.c). */
    LIST_ENTRY delayed_writes;
    KEVENT wake;
    BOOLEAN stopping;
    HANDLE scheduler;
};

struct input_queue {
    uint8_t* reports; /* VMOUSE_INPUT_CAPACITY slots of VMOUSE_MAX_REPORT bytes, a ring */
    uint8_t* lengths;
    uint32_t head;
    uint32_t count;
};

struct child {
    BOOLEAN is_child;
    DEVICE_OBJECT* self;
    struct bus* bus;
    uint32_t index; /* in the layout */
    /* Cleared by an unplug: the collection is gone though the system may still hold it. */
    BOOLEAN present;
    /* The system has been told of it, and so will remove it. */
    BOOLEAN reported;
    struct vmouse_child_layout layout;
    struct input_queue input;
    IRP* pending_read;
    LONGLONG next_input_due; /* scheduler_now() */
    uint32_t inputs_sent;
};

#define VMOUSE_POOL_TAG 0x736d5654u /* "TVms" */

/* BusDriver.c */
NTSTATUS bus_complete(IRP* irp, NTSTATUS status, ULONG_PTR information);

/* EventLog.c */
NTSTATUS event_log_init(struct event_log* log);
void event_log_free(struct event_log* log);
void event_log_reset(struct event_log* log);
/* With the bus's lock held. */
void event_log_append(struct event_log* log, uint8_t kind, uint8_t child, uint8_t outcome, const uint8_t* bytes,
                      uint32_t length);
/* Fills out with the entries from `from` on that fit; returns the bytes written. */
ULONG event_log_read(const struct event_log* log, uint32_t from, void* out, ULONG out_size);

/* Children.c */
/* With the bus's lock held: the present child of that layout index, or NULL. */
struct child* bus_child(struct bus* bus, uint32_t index);
NTSTATUS children_plug(struct bus* bus, const struct vmouse_layout* layout);
void children_unplug(struct bus* bus);
NTSTATUS child_pnp(struct child* child, IRP* irp);
NTSTATUS children_queue_input(struct bus* bus, const struct vmouse_input* input, const uint8_t* reports,
                              ULONG reports_size);

/* ChildReports.c */
NTSTATUS child_internal_ioctl(struct child* child, IRP* irp);
/* With the bus's lock held: the pending read, filled, when a report is due now; else the
 * time the next one is due (0: none waiting). */
IRP* child_take_due_read(struct child* child, LONGLONG now, LONGLONG* next_due);
/* With the bus's lock held: the read that is pending, taken so it can be ended. */
IRP* child_take_pending_read(struct child* child);

/* Scheduler.c */
NTSTATUS scheduler_start(struct bus* bus);
void scheduler_stop(struct bus* bus);
void scheduler_wake(struct bus* bus);
/* A fine clock in 100 ns units (the system's interrupt time may move in steps of a
 * timer tick, too coarse for pacing reports a millisecond apart). */
LONGLONG scheduler_now(void);
/* With the bus's lock held: the write completes at `due`. */
void scheduler_delay(struct bus* bus, IRP* irp, LONGLONG due);
