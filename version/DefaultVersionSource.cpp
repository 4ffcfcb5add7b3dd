// Where there is no version.dll, the platform's operations are the portable ones.
#include "version/PortableVersionSource.h"

namespace velmora {

std::unique_ptr<VersionSource> MakePlatformVersionSource() {
  return std::make_unique<PortableVersionSource>();
}

}  // namespace velmora
