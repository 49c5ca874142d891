#include "list_settings_dialog.h"

// The dialog itself is not built yet; until it is, the right click that
// would open it does nothing.
void openListSettingsDialog(HWND /*owner*/) {}
