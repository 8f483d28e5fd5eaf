#pragma once

namespace platform
{
// Keeps freed memory in the process for the next allocation instead of handing it back to the system at
// once. Reading a library-type file makes and frees a thousand member buffers and a few records of a
// few hundred kilobytes; given back each time, every later file would fault the same pages in again.
// Call once at the start of main.
void keepFreedMemoryForReuse();
} // namespace platform
