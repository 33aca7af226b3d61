#include "store/PropertyAccess.h"

#include "store/StoreError.h"

#include <QMetaEnum>
#include <QObject>

namespace {

bool isIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isFloatType(int typeId)
{
    return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

bool sameAsciiName(const QString& text, QLatin1String name)
{
    if (text.size() != name.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const char16_t lower = (c >= u'A' && c <= u'Z') ? c + 32 : c;
        const char n = name[i].toLatin1();
        if (lower != char16_t((n >= 'A' && n <= 'Z') ? n + 32 : n))
            return false;
    }
    return true;
}

[[noreturn]] void invalidElement(const QString& text)
{
    throw EPropertiesStore(QStringLiteral("Invalid property element: %1").arg(text));
}

QMetaProperty propertyNamed(const QObject* component, const QString& name)
{
    const QMetaObject* meta = component->metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    return index < 0 ? QMetaProperty() : meta->property(index);
}

qint64 integerOf(const StoredValue& value)
{
    if (const auto* number = std::get_if<qint64>(&value))
        return *number;
    if (const auto* number = std::get_if<double>(&value))
        return qRound64(*number);
    bool ok = false;
    const QString text = printedForm(value);
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (!ok)
        invalidElement(text);
    return number;
}

double floatOf(const StoredValue& value)
{
    if (const auto* number = std::get_if<qint64>(&value))
        return double(*number);
    if (const auto* number = std::get_if<double>(&value))
        return *number;
    bool ok = false;
    const QString text = printedForm(value);
    const double number = text.trimmed().toDouble(&ok);
    if (!ok)
        invalidElement(text);
    return number;
}

} // namespace

QMetaProperty findProperty(const QObject* component, const QString& name)
{
    if (!component || name.isEmpty())
        return {};
    QMetaProperty property = propertyNamed(component, name);
    if (!property.isValid())
        property = propertyNamed(component, name.left(1).toLower() + name.mid(1));
    if (!property.isValid() && name == u"Caption")
        property = propertyNamed(component, QStringLiteral("text"));
    return property;
}

std::optional<StoredValue> readProperty(const QObject* component, const QString& name)
{
    const QMetaProperty property = findProperty(component, name);
    if (!property.isReadable())
        return std::nullopt;
    const QVariant value = property.read(component);
    const int typeId = property.metaType().id();
    if (typeId == QMetaType::Bool)
        return QString(value.toBool() ? QStringLiteral("True") : QStringLiteral("False"));
    if (typeId == QMetaType::QString)
        return value.toString();
    if (property.isEnumType() && !property.isFlagType()) {
        const char* key = property.enumerator().valueToKey(value.toInt());
        return key ? std::optional<StoredValue>(QString::fromLatin1(key)) : std::nullopt;
    }
    if (isIntegerType(typeId))
        return value.toLongLong();
    if (isFloatType(typeId))
        return value.toDouble();
    return std::nullopt;
}

void assignProperty(QObject* component, const QString& name, const StoredValue& value)
{
    const QMetaProperty property = findProperty(component, name);
    if (!property.isWritable())
        return;
    const int typeId = property.metaType().id();
    const QString text = printedForm(value);
    if (typeId == QMetaType::QString) {
        property.write(component, text);
    } else if (typeId == QMetaType::Bool) {
        if (sameAsciiName(text, QLatin1String("True")))
            property.write(component, true);
        else if (sameAsciiName(text, QLatin1String("False")))
            property.write(component, false);
        else
            invalidElement(text);
    } else if (property.isEnumType() && !property.isFlagType()) {
        const QMetaEnum enumerator = property.enumerator();
        for (int i = 0; i < enumerator.keyCount(); ++i) {
            if (sameAsciiName(text, QLatin1String(enumerator.key(i)))) {
                property.write(component, enumerator.value(i));
                return;
            }
        }
        invalidElement(text);
    } else if (isIntegerType(typeId)) {
        QVariant number(integerOf(value));
        number.convert(property.metaType());
        property.write(component, number);
    } else if (isFloatType(typeId)) {
        property.write(component, floatOf(value));
    }
}
