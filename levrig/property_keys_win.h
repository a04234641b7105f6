// Device properties the volume library reads, and reading them as text.
#pragma once

#include "levrig/private_heap.h"

#include <windows.h>

#include <propsys.h>

namespace tonvale {
namespace levrig {

// The adapter an endpoint belongs to ("Speakers" are on "Realtek Audio").
constexpr PROPERTYKEY kAdapterNameKey = {
    {0x026E516E, 0xB814, 0x414B, {0x83, 0xCD, 0x85, 0x6D, 0x6F, 0xEF, 0x48, 0x22}}, 2};
// The endpoint's own name.
constexpr PROPERTYKEY kEndpointNameKey = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 2};
// Endpoint and adapter together ("Speakers (Realtek Audio)").
constexpr PROPERTYKEY kFriendlyNameKey = {
    {0xA45C254E, 0xDF1C, 0x4EFD, {0x80, 0x20, 0x67, 0xD1, 0x46, 0xA8, 0x50, 0xE0}}, 14};

// A text property; false when it is missing or not text.
bool readTextProperty(IPropertyStore* store, const PROPERTYKEY& key, Text& text);

} // namespace levrig
} // namespace tonvale
