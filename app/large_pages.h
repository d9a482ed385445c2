#pragma once

// The show's textures, vertex buffers and pictures are large blocks that the
// driver and the decoders fill once at start-up. Handed out in 4 KB pages,
// each of them costs the kernel one fault per page on first touch (on some
// machines about half of the start-up); glibc's malloc can instead ask for
// transparent 2 MB pages, but reads that choice (the tunable
// glibc.malloc.hugetlb) only when a process starts.
//
// Where the system offers such pages on request and the tunable is not set,
// runs this program again in place (same process, same arguments) with it
// set; returns only where that is not needed or not possible. Call it first
// thing in main, before any thread or library starts.
void restartWithLargePages(char** argv);
