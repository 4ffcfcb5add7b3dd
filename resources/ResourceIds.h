#pragma once
// Resource identifiers shared by Drasken.rc and the code that loads the resources.
#define IDI_VELMORA 1
#define IDB_BANNER 101
#define IDC_HAND 102
