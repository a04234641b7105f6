// The volume library's error boxes: "Volume Control", error icon, owned by
// nobody, the text of the error code (levrig_texts.h).
#pragma once

namespace tonvale {
namespace levrig {

void showErrorBox(int code);

} // namespace levrig
} // namespace tonvale
