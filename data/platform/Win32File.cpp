// The platform layer on Windows.
#ifdef _WIN32
#include "data/platform/PlatformFile.h"
#endif
