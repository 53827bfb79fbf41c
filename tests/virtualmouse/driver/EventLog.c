/* The bus's log: every write a child received, every plug and unplug and the controller's
 * notes, numbered in order. A ring: when it is full the oldest entry goes. */
#include "BusDriver.h"

NTSTATUS event_log_init(struct event_log* log) {
    log->entries = ExAllocatePoolWithTag(NonPagedPool, sizeof(*log->entries) * VMOUSE_LOG_CAPACITY, VMOUSE_POOL_TAG);
    if (!log->entries) return STATUS_INSUFFICIENT_RESOURCES;
    event_log_reset(log);
    return STATUS_SUCCESS;
}

void event_log_free(struct event_log* log) {
    if (log->entries) ExFreePoolWithTag(log->entries, VMOUSE_POOL_TAG);
    log->entries = NULL;
}

void event_log_reset(struct event_log* log) {
    /* Sequences start at 1 so that 0 can mean "from the beginning". */
    log->first_kept = log->next = log->mark = 1;
}

void event_log_append(struct event_log* log, uint8_t kind, uint8_t child, uint8_t outcome, const uint8_t* bytes,
                      uint32_t length) {
    struct vmouse_log_entry* entry = &log->entries[log->next % VMOUSE_LOG_CAPACITY];
    if (length > VMOUSE_MAX_REPORT) length = VMOUSE_MAX_REPORT;
    RtlZeroMemory(entry, sizeof(*entry));
    entry->sequence = log->next;
    entry->kind = kind;
    entry->child = child;
    entry->outcome = outcome;
    entry->length = (uint8_t)length;
    if (length) RtlCopyMemory(entry->bytes, bytes, length);
    ++log->next;
    if (log->next - log->first_kept > VMOUSE_LOG_CAPACITY) log->first_kept = log->next - VMOUSE_LOG_CAPACITY;
    if (log->mark < log->first_kept) log->mark = log->first_kept;
}

ULONG event_log_read(const struct event_log* log, uint32_t from, void* out, ULONG out_size) {
    struct vmouse_log_chunk* chunk = out;
    struct vmouse_log_entry* entries = (struct vmouse_log_entry*)(chunk + 1);
    ULONG room;
    uint32_t sequence;

    if (out_size < sizeof(*chunk)) return 0;
    room = (out_size - sizeof(*chunk)) / sizeof(*entries);
    chunk->first_kept = log->first_kept;
    chunk->next = log->next;
    chunk->count = 0;
    chunk->reserved = 0;
    for (sequence = from < log->first_kept ? log->first_kept : from; sequence < log->next && chunk->count < room;
         ++sequence)
        entries[chunk->count++] = log->entries[sequence % VMOUSE_LOG_CAPACITY];
    return sizeof(*chunk) + chunk->count * sizeof(*entries);
}
