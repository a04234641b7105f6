#include "app/process_context_win.h"

namespace tonvale {

ProcessContext gProcess = [] {
    ProcessContext context;
    context.heap = GetProcessHeap();
    return context;
}();

void initProcessContext(HINSTANCE instance) {
    gProcess.instance = instance;
    gProcess.heap = GetProcessHeap();
}

} // namespace tonvale
