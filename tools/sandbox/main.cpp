#include "SandboxServer.h"
#include "update/UpdateSignature.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("ks-sandbox");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays the search engines and services of Kestrova Sertrix on 127.0.0.1.");
    parser.addHelpOption();
    const QCommandLineOption endpointsOut("endpoints-out", "Write the endpoints INI file to <file>.", "file");
    const QCommandLineOption interval(
        "interval-ms", "RequestIntervalMs written to the endpoints file.", "ms", "50");
    const QCommandLineOption site(
        "site", "Site placed in the results until a request names one.", "host", "www.example.ru");
    const QCommandLineOption seed("seed", "Seed of the stable positions and figures.", "n", "0");
    const QCommandLineOption stdinExit("exit-on-stdin-close", "Exit when standard input reaches its end.");
    const QCommandLineOption updateFile("update-file", "Serve <file> as the update file /zlt.upd.", "file");
    const QCommandLineOption updateKey("update-key",
        "Sign the update file with the secret key in <file> (ks-sign keygen); by default with a key made at "
        "start.",
        "file");
    const QCommandLineOption definitions("definitions",
        "Publish <file> as the engine definitions /engines.ini, signed as the update file.", "file");
    const QCommandLineOption noUpdate("no-update",
        "Serve no update file unless --update-file names one (by default a small signed stand-in).");
    const QCommandLineOption tlsCertificate(
        "tls-cert", "Serve every engine and service over TLS with the PEM certificate in <file>.", "file");
    const QCommandLineOption tlsKey("tls-key", "The PEM private key of --tls-cert.", "file");
    const QCommandLineOption tlsCa("tls-ca", "Name <file> as [tls] CaFile in the endpoints file.", "file");
    const QCommandLineOption yandexKey(QStringList { "api-key", "yandex-api-key" },
        "The Yandex Search API and Wordstat API key accepted (default sandbox-yandex-key).", "key",
        "sandbox-yandex-key");
    const QCommandLineOption folderId(
        "folder-id", "The Yandex Cloud folder id accepted (default sandbox-folder).", "id", "sandbox-folder");
    const QCommandLineOption serpKey("serp-api-key",
        "The SERP JSON API key accepted (default sandbox-serp-key).", "key", "sandbox-serp-key");
    const QCommandLineOption apiDefinitionsOut("api-definitions-out",
        "Write engine definitions to <file> that take Yandex.ru, Google.com and the Wordstat count from the "
        "API services here.",
        "file");
    const QCommandLineOption apiDeferred(
        "api-deferred", "The definitions of --api-definitions-out search Yandex by deferred operations.");
    parser.addOptions(
        { endpointsOut, interval, site, seed, stdinExit, updateFile, updateKey, definitions, noUpdate,
            tlsCertificate, tlsKey, tlsCa, yandexKey, folderId, serpKey, apiDefinitionsOut, apiDeferred });
    parser.process(app);

    if (!parser.isSet(endpointsOut)) {
        std::fprintf(stderr, "ks-sandbox: --endpoints-out FILE is required\n");
        return 2;
    }
    SandboxOptions options;
    bool intervalOk = false;
    bool seedOk = false;
    options.requestIntervalMs = parser.value(interval).toInt(&intervalOk);
    options.seed = parser.value(seed).toUInt(&seedOk);
    options.site = parser.value(site);
    if (!intervalOk || options.requestIntervalMs < 0 || !seedOk) {
        std::fprintf(stderr, "ks-sandbox: --interval-ms and --seed take non-negative whole numbers\n");
        return 2;
    }

    options.serveUpdateStandIn = !parser.isSet(noUpdate);
    if (parser.isSet(updateFile)) {
        QFile file(parser.value(updateFile));
        if (!file.open(QIODevice::ReadOnly) || (options.updateFile = file.readAll()).isEmpty()) {
            std::fprintf(
                stderr, "ks-sandbox: cannot read a non-empty update file %s\n", qPrintable(file.fileName()));
            return 2;
        }
    }
    if (parser.isSet(definitions)) {
        QFile file(parser.value(definitions));
        if (!file.open(QIODevice::ReadOnly) || (options.definitionsFile = file.readAll()).isEmpty()) {
            std::fprintf(stderr, "ks-sandbox: cannot read a non-empty definitions file %s\n",
                qPrintable(file.fileName()));
            return 2;
        }
    }
    if (parser.isSet(updateKey)) {
        QString reason;
        options.updateSecretKey = UpdateSignature::readKeyFile(
            parser.value(updateKey), UpdateSignature::kSecretKeyBytes, &reason);
        if (options.updateSecretKey.isEmpty()) {
            std::fprintf(
                stderr, "ks-sandbox: %s: %s\n", qPrintable(parser.value(updateKey)), qPrintable(reason));
            return 2;
        }
    }

    if (parser.isSet(tlsCertificate) != parser.isSet(tlsKey)) {
        std::fprintf(stderr, "ks-sandbox: --tls-cert and --tls-key go together\n");
        return 2;
    }
    if (parser.isSet(tlsCertificate)) {
        QFile certificate(parser.value(tlsCertificate));
        QFile key(parser.value(tlsKey));
        if (!certificate.open(QIODevice::ReadOnly) || !key.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "ks-sandbox: cannot read the TLS certificate or key\n");
            return 2;
        }
        options.tls = true;
        options.tlsCertificate = certificate.readAll();
        options.tlsKey = key.readAll();
    }
    options.yandexApiKey = parser.value(yandexKey).toUtf8();
    options.yandexFolderId = parser.value(folderId).toUtf8();
    options.serpApiKey = parser.value(serpKey).toUtf8();
    if (options.yandexApiKey.isEmpty() || options.yandexFolderId.isEmpty() || options.serpApiKey.isEmpty()) {
        std::fprintf(stderr, "ks-sandbox: the API keys and the folder id must not be empty\n");
        return 2;
    }
    if (parser.isSet(tlsCa))
        options.tlsCaFile = QFileInfo(parser.value(tlsCa)).absoluteFilePath();

    SandboxServer server(options);
    QString error;
    if (!server.listen(&error)) {
        std::fprintf(stderr, "ks-sandbox: cannot listen: %s\n", qPrintable(error));
        return 1;
    }

    // Written only when every port listens, by a rename that makes each file appear complete; the
    // endpoints file comes last, so that its presence means both are there.
    if (parser.isSet(apiDefinitionsOut)) {
        QSaveFile file(parser.value(apiDefinitionsOut));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(server.apiDefinitionsIni(parser.isSet(apiDeferred))) < 0 || !file.commit()) {
            std::fprintf(stderr, "ks-sandbox: cannot write %s: %s\n", qPrintable(file.fileName()),
                qPrintable(file.errorString()));
            return 1;
        }
    }
    QSaveFile file(parser.value(endpointsOut));
    if (!file.open(QIODevice::WriteOnly) || file.write(server.endpointsIni()) < 0 || !file.commit()) {
        std::fprintf(stderr, "ks-sandbox: cannot write %s: %s\n", qPrintable(file.fileName()),
            qPrintable(file.errorString()));
        return 1;
    }

    // Nothing to clean up on the way out; a shell starts background jobs with SIGINT ignored.
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<QSocketNotifier> stdinWatch;
    if (parser.isSet(stdinExit)) {
        stdinWatch = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(stdinWatch.get(), &QSocketNotifier::activated, &app, [] {
            char buffer[256];
            if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
                QCoreApplication::quit();
        });
    }
    return app.exec();
}
