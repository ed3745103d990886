// A library with neither information export: not a plug-in.
#include "fake_export.h"

FAKE_EXPORT int VEXA_PLUGIN_CALL Nothing() { return 0; }
