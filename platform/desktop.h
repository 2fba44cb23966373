// The desktop as the native Windows window asks it, without Qt (desktop_windows.cpp). The
// Linux window has the same from Qt (services.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/calendar.h"
#include "core/day_header.h"

namespace suelvan::platform {

// Now, with its offset from UTC, so minutes back are counted as elapsed time.
LocalDateTime DesktopNow();
// The wall-clock reading at an instant, in the user's time zone.
LocalDateTime DesktopLocalAt(std::int64_t unixSeconds);
// The user's full weekday names, Sunday first, UTF-8.
WeekdayNames DesktopWeekdays();
// The folder of the running program, as the system names it; empty when it cannot be told.
std::filesystem::path ProgramFolder();
// Text at the edge, once: UTF-8 inside, UTF-16 for Windows.
std::wstring WideOf(std::string_view utf8);
std::string Utf8Of(std::wstring_view wide);

// Hands "\"<path>\"" or an "http:\\..." address to the shell; a German description of
// what went wrong, or nothing.
std::string DesktopOpen(const std::string& command);

}  // namespace suelvan::platform
