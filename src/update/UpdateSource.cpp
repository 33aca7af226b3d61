#include "update/UpdateSource.h"

#include "net/Endpoints.h"
#include "update/UpdateSignature.h"

UpdateSource UpdateSource::fromEndpoints(const Endpoints& endpoints)
{
    UpdateSource source;
    source.fileUrl = "http://" + endpoints.Update.toLatin1() + "/zlt.upd";
    source.signatureUrl = source.fileUrl + ".sig";
    source.definitionsUrl = "http://" + endpoints.Update.toLatin1() + "/engines.ini";
    source.definitionsSignatureUrl = source.definitionsUrl + ".sig";
    source.publicKey = endpoints.updatePublicKey.isEmpty() ? UpdateSignature::builtInPublicKey()
                                                           : endpoints.updatePublicKey;
    source.homePage = QStringLiteral("http://%1/").arg(endpoints.MakerSite);
    return source;
}
