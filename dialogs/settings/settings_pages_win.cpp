#include "dialogs/settings/settings_pages_win.h"

namespace tonvale {

const TabbedPage kSettingsPages[kSettingsPageCount] = {
    {17, tuningPageProcedure, layoutTuningPage},
    {18, displayPageProcedure, layoutDisplayPage},
    {19, devicePageProcedure, layoutDevicePage},
};

} // namespace tonvale
