#include "report/XdgAutomation.h"

#include "report/ReportExport.h"
#include "report/XlsxApplication.h"
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

XdgAutomation::XdgAutomation(OpenDocument openDocument, QString folder)
    : m_openDocument(std::move(openDocument))
    , m_folder(std::move(folder))
{
}

QString XdgAutomation::xlsxMimeType()
{
    return QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
}

bool XdgAutomation::IsProgIDRegistered(const QString& progId)
{
    return progId == ReportExport::spreadsheetProgId() && !defaultApplicationFor(xlsxMimeType()).isEmpty();
}

std::unique_ptr<SpreadsheetApplication> XdgAutomation::CreateOleObject(const QString& progId)
{
    if (progId != ReportExport::spreadsheetProgId())
        throw AutomationError(QStringLiteral("Invalid class string"));
    return std::make_unique<XlsxApplication>([open = m_openDocument, folder = m_folder](
                                                 const XlsxBook& book) {
        const QString path = XlsxFile::saveAsNew(book, folder);
        if (!open(path))
            throw AutomationError(QStringLiteral("Cannot open \"%1\" with the desktop's default application.")
                                      .arg(QDir::toNativeSeparators(path)));
    });
}
