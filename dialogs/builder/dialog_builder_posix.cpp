#include "dialogs/builder/dialog_builder.h"

namespace tonvale {

// No screen to ask: design units are pixels.
int askScreenDpi() {
    return 96;
}

} // namespace tonvale
