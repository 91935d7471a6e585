#pragma once

#include <malloc.h>

// Typing in a long note copies its whole text a few times per key, copies
// that are freed at once. The C library's own policy grows the size at which
// it hands such blocks straight to the kernel with the largest block freed
// (up to 32 MiB), and keeps twice that much freed memory at the top of its
// heap without giving it back: tens of megabytes a key's copies leave resident
// for good. Fixed limits keep the copies in the heap, as before, so no key
// pays for fresh pages, and give back what a pause leaves free beyond 4 MiB.
// Called before anything large is allocated.
inline void applyLongTextAllocatorPolicy()
{
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 4 * 1024 * 1024);
}
