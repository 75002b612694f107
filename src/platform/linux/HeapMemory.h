#pragma once

namespace vantrel {

// How the C library's heap holds what large decodings (pictures, drawings) take, so that it goes
// back to the system once freed rather than staying with the thread that decoded it.

// Makes every block of a megabyte or more a mapping of its own, given back to the system as soon as
// it is freed, by whichever thread. The C library otherwise raises that bound to the largest block
// freed so far (up to 32 MiB); from then on a decoded picture's tens of megabytes stay in the heap
// of the thread that decoded it, whose top goes back to the system only past a bound raised alike,
// and which returnFreedMemory() leaves alone. Called once, before the first picture is decoded.
void mapLargeBlocksApart();
// Gives the memory that decoding freed back to the system, from every thread's heap. It holds each
// heap while it looks through it, so it is for after a burst of decoding, not after each picture.
void returnFreedMemory();

} // namespace vantrel
