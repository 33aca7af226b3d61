#include "platform/Registry.h"

#include "platform/XdgRegistry.h"

std::unique_ptr<Registry> Registry::openCurrentUser()
{
    return std::make_unique<XdgRegistry>(XdgRegistry::defaultRoot());
}
