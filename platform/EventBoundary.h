#pragma once
// The one boundary between the platform's event delivery and the window's handlers, shared by
// every backend: it raises one event at a time; a failure that leaves a handler is reported to
// the user once, in the program's own words, and ends the program. After a failure no event is
// raised again.
#include <exception>
#include <string>
#include <string_view>

namespace velmora {

// How a failure that ends the program is worded for the user.
struct FatalErrorTexts {
  std::wstring_view title;
  std::wstring_view prefix;  // followed by the failure's own description
};

class EventBoundary {
 public:
  explicit EventBoundary(FatalErrorTexts texts) : texts_(texts) {}
  virtual ~EventBoundary() = default;
  EventBoundary(const EventBoundary&) = delete;
  EventBoundary& operator=(const EventBoundary&) = delete;

  // Runs one event handler; nothing it throws gets past here.
  template <typename Handler>
  void Raise(Handler&& handler) noexcept {
    if (failed_) {
      return;
    }
    try {
      handler();
    } catch (...) {
      Fail(std::current_exception());
    }
  }

  bool Failed() const { return failed_; }

  // The text a failure is reported with: the prefix, then the failure's description.
  static std::wstring FatalText(FatalErrorTexts texts, std::exception_ptr error);

 protected:
  // The backend's half: shows the box (modal, owned by the window, which keeps painting behind
  // it) and, once it is dismissed, ends the program with a failure status. Called once.
  virtual void ReportFatal(std::wstring_view title, std::wstring_view text) noexcept = 0;
  virtual void EndAfterFailure() noexcept = 0;

 private:
  // Only the first failure is reported: a handler that was running when it happened (one that
  // had a message box up, say) may fail again on its next step, and says nothing more.
  void Fail(std::exception_ptr error) noexcept;

  FatalErrorTexts texts_;
  bool failed_ = false;
};

}  // namespace velmora
