#include "update/UpdateSource.h"

#include "net/Endpoints.h"
#include "update/UpdateSignature.h"

UpdateSource UpdateSource::fromEndpoints(const Endpoints& endpoints)
{
    UpdateSource source;
    const QByteArray origin = schemePrefix(endpoints.updateScheme) + endpoints.Update.toLatin1();
    source.fileUrl = origin + "/zlt.upd";
    source.signatureUrl = source.fileUrl + ".sig";
    source.definitionsUrl = origin + "/engines.ini";
    source.definitionsSignatureUrl = source.definitionsUrl + ".sig";
    source.publicKey = endpoints.updatePublicKey.isEmpty() ? UpdateSignature::builtInPublicKey()
                                                           : endpoints.updatePublicKey;
    source.homePage = QStringLiteral("http://%1/").arg(endpoints.MakerSite);
    return source;
}
