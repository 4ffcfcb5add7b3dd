#pragma once
// The artwork and version that the drasken program hands to the forms runtime; the tests
// use the same.
#include "platform/qt/QtForms.h"

namespace velmora::linux_desktop {

qt::QtResources ProgramResources();

}  // namespace velmora::linux_desktop
