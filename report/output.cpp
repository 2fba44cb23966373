#include "report/output.h"

#include <optional>

#include "report/handoff.h"

namespace suelvan::report {

bool IsDiary(const std::filesystem::path& name, const std::filesystem::path& diary) {
    const std::optional<platform::FileIdentity> d = platform::IdentityOf(diary);
    if (!d) return false;
    return (name == "-" ? platform::IdentityOfStandardOutput() : platform::IdentityOf(name)) == d;
}

void WriteOutput(const std::filesystem::path& name, const std::optional<platform::FileIdentity>& diary,
                 std::string_view bytes) {
    bool given = false;
    WriteOutput(name, diary, [&](std::string& block) {
        if (!given) block.assign(bytes);
        given = true;
        return false;
    });
}

void WriteOutput(const std::filesystem::path& name, const std::optional<platform::FileIdentity>& diary,
                 const std::function<bool(std::string& block)>& next) {
    platform::OutputFile output(name, diary);
    WriteOutput(output, next);
}

void WriteOutput(platform::OutputFile& output, const std::function<bool(std::string& block)>& next) {
    // Each block is written on a second thread while the next one is made, the same thread
    // for every block: a CSV may have thousands.
    std::string blocks[2];
    {
        Handoff writer([&output](std::string_view block) { output.Write(block); });
        for (std::size_t i = 0;; i ^= 1) {
            blocks[i].clear();
            const bool more = next(blocks[i]);
            if (!blocks[i].empty()) {
                writer.Hand(blocks[i]);
            } else {
                writer.Wait();
            }
            if (!more) break;
        }
        writer.Wait();
    }
    output.Commit();
}

}  // namespace suelvan::report
