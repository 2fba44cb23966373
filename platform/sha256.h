// SHA-256 of the diary's bytes, from the system's fastest source (sha256_openssl.cpp).
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace suelvan::platform {

class Sha256 {
   public:
    // Throws Failure where the system offers none.
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const char* bytes, std::size_t length);
    // Lower-case hex; the object is spent.
    std::string HexDigest();

   private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace suelvan::platform
