#include "platform/EventBoundary.h"

#include "version/WideName.h"

namespace velmora {

std::wstring EventBoundary::FatalText(FatalErrorTexts texts, std::exception_ptr error) {
  std::wstring detail = L"unknown error";
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    detail = WideFromUtf8(e.what());
  } catch (...) {
  }
  return std::wstring(texts.prefix) + detail;
}

void EventBoundary::Fail(std::exception_ptr error) noexcept {
  if (failed_) {
    return;
  }
  failed_ = true;
  ReportFatal(texts_.title, FatalText(texts_, error));
  EndAfterFailure();
}

}  // namespace velmora
