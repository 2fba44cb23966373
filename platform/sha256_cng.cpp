// SHA-256 through Windows' own CNG: OpenSSL for MinGW is not among Debian's packages.
#include <windows.h>

#include <bcrypt.h>  // after windows.h, whose types it uses

#include "core/failure.h"
#include "platform/sha256.h"

namespace suelvan::platform {

struct Sha256::State {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    ~State() {
        if (hash) ::BCryptDestroyHash(hash);
        if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};

namespace {

[[noreturn]] void Unavailable() { throw Failure("SHA-256 ist nicht verfügbar."); }

bool Ok(NTSTATUS status) { return status >= 0; }

}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
    if (!Ok(::BCryptOpenAlgorithmProvider(&state_->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !Ok(::BCryptCreateHash(state_->algorithm, &state_->hash, nullptr, 0, nullptr, 0, 0)))
        Unavailable();
}

Sha256::~Sha256() = default;

void Sha256::Update(const char* bytes, std::size_t length) {
    while (length > 0) {
        const auto chunk = static_cast<ULONG>(std::min<std::size_t>(length, 1 << 30));
        if (!Ok(::BCryptHashData(state_->hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes)), chunk, 0)))
            Unavailable();
        bytes += chunk;
        length -= chunk;
    }
}

std::string Sha256::HexDigest() {
    unsigned char digest[32];
    if (!Ok(::BCryptFinishHash(state_->hash, digest, sizeof digest, 0))) Unavailable();
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}

}  // namespace suelvan::platform
