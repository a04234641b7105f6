// The size of the page area of a tabbed dialog.
#pragma once

namespace tonvale {

// The height of a page area `width` wide that holds pages up to `height`
// high: the first of (2w + 3) / 4, (3w + 3) / 4 and (4w + 3) / 4 that is at
// least `height`, so the area is about 2:1, 4:3 or 1:1; `height` when it is
// taller than all of them.
int pageAreaHeight(int width, int height);

} // namespace tonvale
