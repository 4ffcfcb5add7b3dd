/* An exe that imports a function Windows 7 lacks, for the Windows 7 check to refuse. */
#include <windows.h>

int main(void) {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return (int)(now.dwLowDateTime & 1u);
}
