#pragma once

#include <QByteArrayView>

// The one rule by which a result names the site, for result pages and API answers alike: its link
// holds the site key (the address without "http://", "www." and a trailing "/", in the ANSI code
// page). An empty key names no site.
inline bool linkHoldsSiteKey(QByteArrayView link, QByteArrayView siteKey)
{
    return !siteKey.isEmpty() && link.contains(siteKey);
}
