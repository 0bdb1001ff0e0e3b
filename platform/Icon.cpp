#include "platform/Icon.h"

#include <QCoreApplication>
#include <QIcon>
#include <map>
#include <memory>

#include "platform/ResourceLookup.h"

namespace platform {

namespace {

std::map<UINT, std::unique_ptr<QIcon>>& Cache() {
    static std::map<UINT, std::unique_ptr<QIcon>> cache;
    return cache;
}

// Pictures must go before the application object does.
void ClearCache() { Cache().clear(); }

}  // namespace

HICON LoadIconResource(UINT nIDResource) {
    auto& cache = Cache();
    if (auto it = cache.find(nIDResource); it != cache.end()) return it->second.get();
    const IconResource* group = FindIconGroup(nIDResource);
    if (group == nullptr) return nullptr;
    auto icon = std::make_unique<QIcon>();
    for (const char* path : group->imagePaths) icon->addFile(QString::fromUtf8(path));
    if (cache.empty()) qAddPostRoutine(ClearCache);
    return cache.emplace(nIDResource, std::move(icon)).first->second.get();
}

}  // namespace platform
