#pragma once

#include "ControlState.h"
#include "Services.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The markup of every page the sandbox serves, in Windows-1251, and the stable figures behind it:
// the same seed, site and keyword always give the same page.
class Pages {
public:
    explicit Pages(quint32 seed)
        : m_seed(seed)
    {
    }

    Placement defaultPlacement(Service engine, const QString& keyword) const;
    QByteArray defaultCount(const QString& keyword) const;
    QByteArray defaultCy(const QString& host) const;
    QByteArray defaultPageRank(const QString& site) const;

    struct ResultPageInput {
        Service engine = Service::GoogleCom;
        int pageIndex = 0;
        int entries = 0;
        QString keyword;
        QString site;
        Placement placement;
        std::optional<QByteArray> siteValue;
        int googleLayout = 1; // Google.com and Google.ru: 2 is the changed markup
    };
    static QByteArray resultPage(const ResultPageInput& input);
    static QByteArray wordstatPage(const QString& keyword, const QByteArray& countText);
    static QByteArray cyPage(const QString& host, const QByteArray& cyText);
    static QByteArray pageRankPage(const QByteArray& prText);
    // A small ELF file; with a version, its ".ks_version" section carries it as the FileVersion.
    static QByteArray updateFile(const QByteArray& fileVersion);
    // The version of the sandbox's own update file: newer than any build of the program.
    static constexpr const char* kUpdateFileVersion = "99.0.0.0";
    static QByteArray feedbackPage();
    static QByteArray makerPage();
    static QByteArray statusPage(int status, const QByteArray& reason);
    // The page an engine shows a client without JavaScript instead of its results.
    static QByteArray javaScriptWallPage();

private:
    quint32 hash(const QString& kind, const QString& text) const;

    quint32 m_seed;
};

quint32 fnv1a(const QByteArray& bytes);
