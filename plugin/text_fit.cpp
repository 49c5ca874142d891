// Placeholder until this module is written.
#include "text_fit.h"
