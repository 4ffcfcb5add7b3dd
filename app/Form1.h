#pragma once
// The main window's behaviour: start-up, the make button, the count selector and the links,
// written against the forms runtime interface only.
#include <cstdint>
#include <string_view>

#include "app/Form1Controls.h"
#include "platform/Forms.h"

namespace velmora {

inline constexpr std::int16_t kMinSpaceCount = 1;
inline constexpr std::int16_t kMaxSpaceCount = 4;

class Form1 final : public FormEvents {
 public:
  explicit Form1(FormsRuntime& forms);

  void Initialize() override;
  void FormMouseMove() override;
  void Click(ControlKey control) override;
  void DblClick(ControlKey control) override;
  void MouseMove(ControlKey control) override;

  std::int16_t SpaceCount() const { return spaceCount_; }

 private:
  void cmdMake_Click();
  void cmdUp_Click();
  void cmdDown_Click();
  void Text1_DblClick();
  void Label3_Click();
  void Label7_Click();
  void ShowLinkHover(ControlId link);
  void ShowLinkNormal(ControlId link);
  void OpenLink(std::wstring_view target);
  void ShowSpaceCount();

  FormsRuntime& forms_;
  std::int16_t spaceCount_ = 0;
};

}  // namespace velmora
