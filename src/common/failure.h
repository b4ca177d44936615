#pragma once
// The one failure type of the program: database, file and launch operations
// throw it with the description that the message boxes show.

#include <exception>
#include <string>
#include <utility>

namespace vsu {

class Failure : public std::exception {
 public:
  explicit Failure(std::string description) : description_(std::move(description)) {}
  const std::string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  std::string description_;
};

// What a failure path shows for an exception: a Failure's description, "Out of
// memory" for an allocation that failed, else the exception's own text. The
// routines' failure paths take every standard exception, not only Failure, so
// that nothing unexpected ends the program without a message.
std::string FailureDescription(const std::exception& exception);

// The end operation: the program ends at once. It unwinds to main so that every
// handle on the way is released; status is the process exit status.
struct EndProgram {
  int status;
};

// Exit statuses.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitCancelled = 2;

}  // namespace vsu
