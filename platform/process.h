// What the process asks of the system at its start (process_posix.cpp).
#pragma once

#include <cstddef>
#include <string>

namespace suelvan::platform {

// A file-size limit must surface as a failed write, not end the program.
void IgnoreFileSizeSignal();

// For a short run that fills much memory at once: the next `bytes` of the heap in the
// kernel's 2 MiB pages, shared by every thread. Each fresh 4 KiB page costs a trap, on a
// virtual machine some 10 µs, and a report of a large diary touches tens of thousands.
void UseLargePages(std::size_t bytes);

// Why no window can be shown, in German: no display named, or the one named does not
// answer (a stale DISPLAY after logging out). Empty when one may be: Qt would abort
// with its own English text instead.
std::string DisplayProblem();

}  // namespace suelvan::platform
