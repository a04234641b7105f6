#include "dialogs/builder/page_area.h"

namespace tonvale {

int pageAreaHeight(int width, int height) {
    for (int quarters = 2; quarters <= 4; ++quarters) {
        const int candidate = (quarters * width + 3) / 4;
        if (candidate >= height)
            return candidate;
    }
    return height;
}

} // namespace tonvale
