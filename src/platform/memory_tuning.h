#pragma once

namespace varnok::platform {

// Asks the C library to back the heap with huge pages where the system allows
// it. A 100,000-connection file allocates ~70 MB of small blocks; with 4 KiB
// pages the page faults cost more than reading the file does. The C library
// reads this setting only at start, so the program starts itself once more
// with it (same process id, same arguments). Call first thing in main();
// returns normally when nothing needs doing or the restart is not possible.
void UseHugePageHeap(char** argv);

}  // namespace varnok::platform
