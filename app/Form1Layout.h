#pragma once
#include "app/Form1Controls.h"
#include "platform/Layout.h"

namespace velmora {

// The main window as designed: 5610 x 3810 twips (374 x 254 px at 96 DPI), twelve controls.
const FormSpec& Form1Layout();

}  // namespace velmora
