// Writing an output of the report: whole or not at all, never over the diary.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>

namespace suelvan::report {

// Whether the output `name` ("-" for standard output) is the diary itself, also through
// a link or a redirection.
bool IsDiary(const QString& name, const std::filesystem::path& diary);

// A regular or new file is replaced atomically (QSaveFile), so a failure leaves no partial
// file and never replaces one with less; a device or FIFO is written directly; "-" is
// standard output. Throws ReportError.
void WriteOutput(const QString& name, QByteArrayView bytes);
// The same, made in blocks while it is written: `next` appends a block and returns false
// with the last one.
void WriteOutput(const QString& name, const std::function<bool(std::string& block)>& next);

}  // namespace suelvan::report
