#include "platform/Registry.h"

#include "platform/XdgRegistry.h"

#include <QtEndian>

RegistryValue RegistryValue::string(const QString& text)
{
    return { RegistryType::String, text, {} };
}

RegistryValue RegistryValue::dword(quint32 number)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(number, bytes.data());
    return { RegistryType::DWord, {}, bytes };
}

RegistryValue RegistryValue::binary(const QByteArray& bytes)
{
    return { RegistryType::Binary, {}, bytes };
}

std::unique_ptr<Registry> Registry::openCurrentUser()
{
    return std::make_unique<XdgRegistry>(XdgRegistry::defaultRoot());
}
