// korvane [PROJECT.kvp]: the desktop program.
#include "app/kvn_app.h"

wxIMPLEMENT_APP(KvnApp);
