// OpenSSL's SHA-256 uses the processor's SHA instructions, several times faster than
// QCryptographicHash.
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include "core/failure.h"
#include "platform/sha256.h"

namespace suelvan::platform {

struct Sha256::State {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context{EVP_MD_CTX_new(), &EVP_MD_CTX_free};
};

namespace {

[[noreturn]] void Unavailable() { throw Failure("SHA-256 ist nicht verfügbar."); }

}  // namespace

Sha256::Sha256() : state_(std::make_unique<State>()) {
    if (!state_->context || EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) != 1)
        Unavailable();
}

Sha256::~Sha256() = default;

void Sha256::Update(const char* bytes, std::size_t length) {
    if (EVP_DigestUpdate(state_->context.get(), bytes, length) != 1) Unavailable();
    // Updates come from short-lived reading threads: what the library keeps for the thread
    // is let go here, before the thread hands its chunk on, not at its exit, which may
    // come after the program has ended.
    OPENSSL_thread_stop();
}

std::string Sha256::HexDigest() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(state_->context.get(), digest, &length) != 1) Unavailable();
    OPENSSL_thread_stop();  // as after an update
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 15];
    }
    return hex;
}

}  // namespace suelvan::platform
