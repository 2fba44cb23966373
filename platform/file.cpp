// What both systems' files share: handing a handle on, the messages.
#include "platform/file.h"
#include "core/failure.h"
#include "core/logfile.h"

namespace fs = std::filesystem;

namespace suelvan::platform {

void Fail(std::string_view what, const fs::path& path, std::error_code cause) {
    throw Failure(std::string(what) + ": " + ShownPath(path) + " (" + CauseText(cause) + ")");
}

File::File(File&& other) noexcept : path_(std::move(other.path_)), handle_(other.handle_) {
    other.handle_ = kNone;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        if (handle_ != kNone) Close(handle_);
        path_ = std::move(other.path_);
        handle_ = other.handle_;
        other.handle_ = kNone;
    }
    return *this;
}

File::~File() {
    if (handle_ != kNone) Close(handle_);  // releases a lock too
}

void File::Fail(std::string_view what, std::error_code cause) const { platform::Fail(what, path_, cause); }

void OutputFile::Fail(std::error_code cause) const { Fail(CauseText(cause)); }

void OutputFile::Fail(const std::string& cause) const {
    const std::string name = name_ == "-" ? "Standardausgabe" : ShownPath(name_);
    throw Failure("Ausgabe kann nicht geschrieben werden: " + name + " (" + cause + ")");
}

void OutputFile::RefuseTheDiary(const std::optional<FileIdentity>& target) const {
    if (diary_ && target == diary_) {
        throw Failure("Die Ausgabe „" + ShownPath(name_) +
                      "“ wäre das Tagebuch selbst und wird nicht geschrieben.");
    }
}

}  // namespace suelvan::platform
