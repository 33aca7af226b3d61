#pragma once

#include <QByteArray>
#include <QString>

// The program keeps the user interface in Unicode and converts at the edges:
// project files, keywords sent as bytes and form bodies use Windows-1251,
// the batch file uses the OEM code page 866.
namespace CodePage {

QByteArray toAnsi(const QString& text); // Windows-1251; unmappable characters become '?'
QString fromAnsi(const QByteArray& bytes);
QByteArray toOem(const QString& text); // code page 866; unmappable characters become '?'
QString fromOem(const QByteArray& bytes);

} // namespace CodePage
