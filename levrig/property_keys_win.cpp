#include "levrig/property_keys_win.h"

#include <propidl.h>

namespace tonvale {
namespace levrig {

bool readTextProperty(IPropertyStore* store, const PROPERTYKEY& key, Text& text) {
    struct Value {
        PROPVARIANT variant;
        Value() { PropVariantInit(&variant); }
        ~Value() { PropVariantClear(&variant); }
    } value;
    if (!store || FAILED(store->GetValue(key, &value.variant)) || value.variant.vt != VT_LPWSTR ||
        !value.variant.pwszVal)
        return false;
    text.assign(value.variant.pwszVal);
    return true;
}

} // namespace levrig
} // namespace tonvale
