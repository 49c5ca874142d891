// Placeholder until this module is written.
#include "utf8_text.h"
