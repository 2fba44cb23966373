// A failure for the user: what() is German and names the file and the cause.
#pragma once

#include <stdexcept>

namespace suelvan {

class Failure : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

}  // namespace suelvan
