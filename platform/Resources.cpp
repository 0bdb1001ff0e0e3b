#include "platform/Resources.h"

#include <cstring>

#include "platform/ResourceLookup.h"

namespace platform {

namespace {
ResourceSet g_resources;
}  // namespace

void SetResources(const ResourceSet& resources) { g_resources = resources; }

const ResourceSet& GetResources() { return g_resources; }

const DialogTemplate* FindDialogTemplate(UINT id) {
    for (const DialogResource& d : g_resources.dialogs)
        if (static_cast<UINT>(d.id) == id) return d.layout;
    return nullptr;
}

const BitmapResource* FindBitmap(UINT id) {
    for (const BitmapResource& b : g_resources.bitmaps)
        if ((b.name == nullptr || *b.name == '\0') && static_cast<UINT>(b.id) == id) return &b;
    return nullptr;
}

const BitmapResource* FindBitmap(const char* name) {
    for (const BitmapResource& b : g_resources.bitmaps)
        if (b.name != nullptr && std::strcmp(b.name, name) == 0) return &b;
    return nullptr;
}

const IconResource* FindIconGroup(UINT id) {
    for (const IconResource& i : g_resources.icons)
        if (static_cast<UINT>(i.id) == id) return &i;
    return nullptr;
}

std::string LoadString(UINT id) {
    for (const StringResource& s : g_resources.strings)
        if (static_cast<UINT>(s.id) == id) return s.text != nullptr ? s.text : "";
    return {};
}

}  // namespace platform
