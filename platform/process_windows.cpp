#include "platform/process.h"

namespace suelvan::platform {

// Windows has no signal for a file-size limit: a write that does not fit fails.
void IgnoreFileSizeSignal() {}

// Windows hands out large pages only with a privilege a resident's account lacks.
void UseLargePages(std::size_t) {}

// A Windows desktop always has its display.
std::string DisplayProblem() { return {}; }

}  // namespace suelvan::platform
