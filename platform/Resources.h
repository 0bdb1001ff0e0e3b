// The program's built-in resources, handed to the layer once at start.
// Pictures live in Qt's resource system; the tables name them by path.
#pragma once

#include <span>
#include <string>

#include "DialogTemplate.h"

namespace platform {

struct DialogResource {
    int id;
    const DialogTemplate* layout;
};

struct StringResource {
    int id;
    const char* text;  // Latin-1
};

// A picture, found by number (id) or by name; name is empty for a numbered one.
struct BitmapResource {
    int id;
    const char* name;
    const char* path;                 // Qt resource path of a BMP file, ":/..."
    const char* pathDense = nullptr;  // the same picture at 2 x 2 pixels per pixel (any Qt image format), or none
};

// An icon group: its images from largest to smallest.
struct IconResource {
    int id;
    std::span<const char* const> imagePaths;  // Qt resource paths
};

struct ResourceSet {
    std::span<const DialogResource> dialogs;
    std::span<const StringResource> strings;
    std::span<const BitmapResource> bitmaps;
    std::span<const IconResource> icons;
};

// Installs the program's resources; the layer looks every id up here.
void SetResources(const ResourceSet& resources);
const ResourceSet& GetResources();

}  // namespace platform
