#pragma once
// Resource identifiers shared by Drasken.rc and the code that loads the resources.
// The cursor's name avoids IDC_HAND, which <windows.h> already defines as the system hand cursor.
#define IDI_VELMORA 1
#define IDB_BANNER 101
#define IDC_LINK_HAND 102
