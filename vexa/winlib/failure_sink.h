#pragma once
// Where a window or dialog procedure sends an exception that its handler let
// through. Unwinding through the system's message dispatch would end the
// program; instead the thread's sink reports it, the message counts as
// handled, and the window goes on with the next one.
#include <exception>
#include <functional>

namespace vexa::win {

using FailureSink = std::function<void(std::exception_ptr error, const char* file, int line, const char* date)>;

// Installs a sink for the calling thread while it lives (windows belong to
// the thread that made them, so one per thread is enough); the previous one
// comes back afterwards.
class CFailureScope {
 public:
  explicit CFailureScope(FailureSink sink);
  ~CFailureScope();
  CFailureScope(const CFailureScope&) = delete;
  CFailureScope& operator=(const CFailureScope&) = delete;

  // Hands the exception being handled to the thread's sink; false when the
  // thread has none (the caller then lets it go on as before).
  static bool Report(const char* file, int line, const char* date);

 private:
  FailureSink m_sink;
  CFailureScope* m_previous;
};

}  // namespace vexa::win
