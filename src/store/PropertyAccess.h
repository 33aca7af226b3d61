#pragma once

#include "store/StoredValue.h"

#include <QMetaProperty>

class QObject;

// Published properties of a component through the meta-object system. A stored name is found
// as spelled, else with its first letter in lower case ("Checked" is "checked"); "Caption" is
// also found as "text".
QMetaProperty findProperty(const QObject* component, const QString& name);

// The property's value: text, "True"/"False" for a Boolean, the element name of an enumeration,
// an integer or a floating number; nothing when the component has no such readable property.
std::optional<StoredValue> readProperty(const QObject* component, const QString& name);

// Converts the value to the property's type and assigns it; a name the component does not have
// is skipped. Throws EPropertiesStore "Invalid property element: %s" when the text names no
// element of a Boolean or other enumeration property, or is no number for a numeric one.
void assignProperty(QObject* component, const QString& name, const StoredValue& value);
