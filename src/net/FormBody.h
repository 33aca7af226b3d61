#pragma once

#include <QByteArray>
#include <QList>

// The form body rule of every POST: lines "name=value", values percent-encoded byte by byte.
QByteArray formBody(const QList<QByteArray>& lines);
