#pragma once

#include <stdexcept>
#include <string>

namespace qv {

// Every error of the system carries the text that is shown to the user. Texts
// are UTF-8 in the source; the data texts of the container stay code page 1250.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A read past the end of a memory stream, or a length that cannot fit.
class StreamReadError : public Error {
  public:
    StreamReadError() : Error("Stream read error") {}
    using Error::Error;
};

// A container that cannot be read or written; the message is the system's own.
class ContainerError : public Error {
  public:
    using Error::Error;
};

// Failures of the cipher and compression code; their English texts never
// reach the user, the container code replaces them.
class CryptoError : public Error {
  public:
    using Error::Error;
};

}  // namespace qv
