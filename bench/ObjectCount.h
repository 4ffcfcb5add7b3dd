#pragma once
// How many GDI and USER objects this process holds. Windows reports them through
// GetGuiResources; Wine answers 0 there, so under Wine the GDI handle table is scanned
// instead (Wine accepts a bare handle index), and USER objects are counted as this thread's
// windows.
#include <windows.h>

namespace velmora::testing {

DWORD GdiObjectCount();
DWORD UserObjectCount();

}  // namespace velmora::testing
