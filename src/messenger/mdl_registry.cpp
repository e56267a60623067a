#include "messenger/mdl_registry.h"

#include "platform/registry.h"

namespace vellumo {

mdlRegistry::mdlRegistry(const platform::Registry &registry)
    : registry_(registry)
{
}

QString mdlRegistry::ReadRegistryValue(const QString &path) const
{
    return QString::fromStdU16String(registry_.readValue(path.toStdU16String()));
}

} // namespace vellumo
