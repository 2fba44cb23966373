#include "report/notes.h"

#include <algorithm>

#include "core/encoding.h"
#include "core/failure.h"
#include "platform/sha256.h"

namespace suelvan::report {
namespace {

constexpr std::uint64_t kShownBytes = 64 * 1024;

}  // namespace

std::string NoteFile::Read(std::uint64_t offset, std::uint64_t bytes) const {
    std::string text(static_cast<std::size_t>(bytes), '\0');
    std::error_code ignored;
    text.resize(file_->ReadAt(offset, text.data(), text.size(), ignored));
    return text;
}

std::string NoteFile::Note(const DiaryEntry& entry) const {
    if (!entry.note.empty() || entry.noteBytes == 0) return std::string(entry.note.view());
    const std::string bytes = Read(entry.noteOffset, std::min(entry.noteBytes, kShownBytes));
    return DecodeDiaryLine(bytes, entry.noteBytes > bytes.size());
}

std::string_view NoteFile::Stream(const DiaryEntry& entry) {
    const std::string_view bytes = Bytes(entry);
    decoded_.clear();
    AppendDecodedLine(decoded_, bytes, false);
    return decoded_;
}

std::string_view NoteFile::Bytes(const DiaryEntry& entry) {
    constexpr std::uint64_t kWindow = 256 << 10;  // stays in the processor's cache
    if (entry.noteOffset < windowAt_ || entry.noteOffset + entry.noteBytes > windowAt_ + windowBytes_) {
        windowAt_ = entry.noteOffset;
        const std::uint64_t want = std::max(kWindow, entry.noteBytes);
        if (window_.size() < want) window_.resize(static_cast<std::size_t>(want));
        std::error_code ignored;
        windowBytes_ = file_->ReadAt(windowAt_, window_.data(), static_cast<std::size_t>(want), ignored);
    }
    const std::size_t at = static_cast<std::size_t>(entry.noteOffset - windowAt_);
    return std::string_view(window_.data(), static_cast<std::size_t>(windowBytes_))
        .substr(std::min(at, static_cast<std::size_t>(windowBytes_)),
                static_cast<std::size_t>(entry.noteBytes));
}

bool NoteFile::StillAsRead(const DiaryInfo& diary) const {
    try {
        const platform::FileState state = file_->State();
        if (state.size < diary.bytes) return false;
        if (state.modified == diary.modified) return true;
        if (diary.sha256.empty()) return false;
        platform::Sha256 hash;
        constexpr std::uint64_t kPiece = 4 << 20;
        for (std::uint64_t at = 0; at < diary.bytes; at += kPiece) {
            const std::string piece = Read(at, std::min(kPiece, diary.bytes - at));
            if (piece.empty()) return false;
            hash.Update(piece.data(), piece.size());
        }
        return hash.HexDigest() == diary.sha256;
    } catch (const Failure&) {
        return false;
    }
}

std::string NoteOf(const DiaryEntry& entry, const NoteFile* file) {
    return file ? file->Note(entry) : std::string(entry.note.view());
}

}  // namespace suelvan::report
