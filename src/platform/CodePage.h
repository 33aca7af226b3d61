#pragma once

#include <QByteArray>
#include <QString>

// The program keeps the user interface in Unicode and converts at the edges: project files,
// keywords sent as bytes and form bodies use Windows-1251.
namespace CodePage {

QByteArray toAnsi(const QString& text); // unmappable characters become '?'
QString fromAnsi(const QByteArray& bytes);

} // namespace CodePage
