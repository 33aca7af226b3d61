#include "report/XdgSpreadsheet.h"

#include "report/WorkbookError.h"
#include "report/XlsxFile.h"

#include <QDir>
#include <QProcess>

namespace {

constexpr int kQueryTimeoutMs = 10000;
constexpr qint64 kMaxAnswerBytes = 4096;

} // namespace

QString defaultApplicationFor(const QString& mimeType)
{
    QProcess query;
    query.setProcessChannelMode(QProcess::SeparateChannels);
    query.setStandardInputFile(QProcess::nullDevice());
    query.start(QStringLiteral("xdg-mime"), { QStringLiteral("query"), QStringLiteral("default"), mimeType });
    if (!query.waitForStarted(kQueryTimeoutMs))
        return {};
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    if (query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return {};
    const QByteArray answer = query.read(kMaxAnswerBytes);
    return QString::fromLocal8Bit(answer).section(u'\n', 0, 0).trimmed();
}

XdgSpreadsheet::XdgSpreadsheet(OpenDocument openDocument, QString folder)
    : m_openDocument(std::move(openDocument))
    , m_folder(std::move(folder))
{
}

QString XdgSpreadsheet::xlsxMimeType()
{
    return QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
}

bool XdgSpreadsheet::available() const
{
    return !defaultApplicationFor(xlsxMimeType()).isEmpty();
}

void XdgSpreadsheet::show(const XlsxBook& book) const
{
    const QString path = XlsxFile::saveAsNew(book, m_folder);
    if (!m_openDocument(path))
        throw WorkbookError(QStringLiteral(
            "Не удалось открыть «%1» программой, которую рабочий стол назначил для таких файлов.")
                                .arg(QDir::toNativeSeparators(path)));
}
