/* A thread of the bus's own that completes what is due later: slow writes when their
 * time is up, and paced input reports when their child may send the next one. A request
 * is never held by sleeping in a dispatch routine, which would stall the driver host. */
#include "BusDriver.h"

/* The due time of a delayed write rides in the request itself. */
static LONGLONG due_of(IRP* irp) { return (LONGLONG)(LONG_PTR)irp->Tail.Overlay.DriverContext[0]; }

void scheduler_delay(struct bus* bus, IRP* irp, LONGLONG due) {
    irp->Tail.Overlay.DriverContext[0] = (void*)(LONG_PTR)due;
    InsertTailList(&bus->delayed_writes, &irp->Tail.Overlay.ListEntry);
}

void scheduler_wake(struct bus* bus) { KeSetEvent(&bus->wake, IO_NO_INCREMENT, FALSE); }

LONGLONG scheduler_now(void) {
    LARGE_INTEGER frequency;
    const LONGLONG count = KeQueryPerformanceCounter(&frequency).QuadPart;
    return count / frequency.QuadPart * 10000000 + count % frequency.QuadPart * 10000000 / frequency.QuadPart;
}

static LONGLONG earlier(LONGLONG a, LONGLONG b) { return !a || (b && b < a) ? b : a; }

/* With the bus's lock held: moves what is due to `due` and returns when the next is. */
static LONGLONG collect_due(struct bus* bus, LONGLONG now, LIST_ENTRY* due) {
    LONGLONG next = 0;
    LIST_ENTRY *entry, *following;
    uint32_t i;

    for (entry = bus->delayed_writes.Flink; entry != &bus->delayed_writes; entry = following) {
        IRP* irp = CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry);
        following = entry->Flink;
        if (due_of(irp) <= now) {
            RemoveEntryList(entry);
            InsertTailList(due, entry);
        } else {
            next = earlier(next, due_of(irp));
        }
    }
    for (i = 0; i < bus->child_count; ++i) {
        LONGLONG child_due = 0;
        IRP* read = child_take_due_read(bus->children[i]->DeviceExtension, now, &child_due);
        if (read)
            InsertTailList(due, &read->Tail.Overlay.ListEntry);
        else
            next = earlier(next, child_due);
    }
    return next;
}

static void NTAPI run(void* context) {
    struct bus* bus = context;

    for (;;) {
        LIST_ENTRY due;
        LONGLONG now, next;
        KIRQL irql;

        InitializeListHead(&due);
        KeAcquireSpinLock(&bus->lock, &irql);
        if (bus->stopping) {
            KeReleaseSpinLock(&bus->lock, irql);
            break;
        }
        now = scheduler_now();
        next = collect_due(bus, now, &due);
        KeReleaseSpinLock(&bus->lock, irql);

        if (!IsListEmpty(&due)) {
            while (!IsListEmpty(&due)) {
                IRP* irp = CONTAINING_RECORD(RemoveHeadList(&due), IRP, Tail.Overlay.ListEntry);
                IoCompleteRequest(irp, IO_NO_INCREMENT);
            }
            continue;
        }
        if (next) {
            LARGE_INTEGER timeout;
            timeout.QuadPart = next > now ? now - next : -1; /* relative */
            KeWaitForSingleObject(&bus->wake, Executive, KernelMode, FALSE, &timeout);
        } else {
            KeWaitForSingleObject(&bus->wake, Executive, KernelMode, FALSE, NULL);
        }
    }
    PsTerminateSystemThread(STATUS_SUCCESS);
}

NTSTATUS scheduler_start(struct bus* bus) {
    return PsCreateSystemThread(&bus->scheduler, THREAD_ALL_ACCESS, NULL, NULL, NULL, run, bus);
}

void scheduler_stop(struct bus* bus) {
    LIST_ENTRY* entry;
    KIRQL irql;

    if (!bus->scheduler) return;
    KeAcquireSpinLock(&bus->lock, &irql);
    bus->stopping = TRUE;
    KeReleaseSpinLock(&bus->lock, irql);
    scheduler_wake(bus);
    ZwWaitForSingleObject(bus->scheduler, FALSE, NULL);
    ZwClose(bus->scheduler);
    bus->scheduler = NULL;
    /* Slow writes still waiting end now, as they were planned. */
    while ((entry = RemoveHeadList(&bus->delayed_writes)) != &bus->delayed_writes)
        IoCompleteRequest(CONTAINING_RECORD(entry, IRP, Tail.Overlay.ListEntry), IO_NO_INCREMENT);
}
