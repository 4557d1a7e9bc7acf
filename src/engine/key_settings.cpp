// Placeholder so the core links; the option table comes next.
#include "engine/key_settings.h"
