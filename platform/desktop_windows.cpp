#include <windows.h>

#include <shellapi.h>  // after windows.h, whose types it uses

#include "core/logfile.h"
#include "platform/desktop.h"

namespace suelvan::platform {
namespace {

constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000;

LocalDateTime Reading(const SYSTEMTIME& t, int utcOffset) {
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, utcOffset};
}

}  // namespace

std::wstring WideOf(std::string_view utf8) {
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Utf8Of(std::wstring_view wide) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                          nullptr);
    return utf8;
}

LocalDateTime DesktopLocalAt(std::int64_t unixSeconds) {
    const std::uint64_t ticks = static_cast<std::uint64_t>(unixSeconds * 10'000'000 + kUnixEpochIn100ns);
    const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME utcTime{}, local{};
    ::FileTimeToSystemTime(&utc, &utcTime);
    // The zone's rules for that instant, daylight saving included.
    ::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local);
    FILETIME localFile{};
    ::SystemTimeToFileTime(&local, &localFile);
    const std::int64_t localTicks =
        static_cast<std::int64_t>((std::uint64_t{localFile.dwHighDateTime} << 32) | localFile.dwLowDateTime);
    const int offset = static_cast<int>((localTicks - static_cast<std::int64_t>(ticks)) / 10'000'000);
    return Reading(local, offset);
}

LocalDateTime DesktopNow() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const std::int64_t ticks =
        static_cast<std::int64_t>((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime);
    return DesktopLocalAt((ticks - kUnixEpochIn100ns) / 10'000'000);
}

WeekdayNames DesktopWeekdays() {
    // Windows counts from Monday (LOCALE_SDAYNAME1); the diary from Sunday.
    static constexpr LCTYPE kDays[] = {LOCALE_SDAYNAME7, LOCALE_SDAYNAME1, LOCALE_SDAYNAME2, LOCALE_SDAYNAME3,
                                       LOCALE_SDAYNAME4, LOCALE_SDAYNAME5, LOCALE_SDAYNAME6};
    WeekdayNames names;
    for (std::size_t i = 0; i < 7; ++i) {
        wchar_t name[80] = {};
        ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, kDays[i], name, 80);
        names[i] = Utf8Of(name);
    }
    return names;
}

std::filesystem::path ProgramFolder() {
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

std::string DesktopOpen(const std::string& command) {
    std::wstring target = WideOf(command);
    // The outer quotes are the command's; an address's backslashes are a browser's slashes.
    if (target.size() > 2 && target.front() == L'"' && target.back() == L'"') {
        target = target.substr(1, target.size() - 2);
    } else if (target.starts_with(L"http:\\\\") || target.starts_with(L"https:\\\\")) {
        for (wchar_t& c : target)
            if (c == L'\\') c = L'/';
    } else {
        return "„" + command + "“ ist weder eine Datei noch eine Webadresse und wird nicht geöffnet.";
    }
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return {};
    return "„" + Utf8Of(target) + "“ konnte nicht geöffnet werden" +
           (result == SE_ERR_FNF || result == SE_ERR_PNF ? ": Sie existiert nicht." : ".");
}

}  // namespace suelvan::platform
