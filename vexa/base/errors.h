#pragma once
// Typed failures of the core. Each carries where it was raised so the one
// reporter can log it; only MemoryError is fatal to the program.
#include <stdexcept>
#include <string>

namespace vexa {

class VexaError : public std::runtime_error {
 public:
  VexaError(std::string message, const char* file, int line)
      : std::runtime_error(std::move(message)), file_(file), line_(line) {}
  const char* file() const { return file_; }
  int line() const { return line_; }

 private:
  const char* file_;
  int line_;
};

class MemoryError : public VexaError { using VexaError::VexaError; };
class FileError : public VexaError { using VexaError::VexaError; };
class ResourceError : public VexaError { using VexaError::VexaError; };
class NotSupportedError : public VexaError { using VexaError::VexaError; };
class ArchiveError : public VexaError { using VexaError::VexaError; };

}  // namespace vexa

#define VEXA_THROW(Type, message) throw ::vexa::Type((message), __FILE__, __LINE__)
