#include "shell/VendorLinks.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace quorvane {

QUrl VendorWebSiteUrl() {
    return QUrl(QStringLiteral(QUORVANE_WEB_SITE));
}

QUrl VendorFaqUrl() {
    return QUrl(QStringLiteral(QUORVANE_FAQ_PAGE));
}

QString VendorSupportAddress() {
    return QStringLiteral(QUORVANE_SUPPORT_MAIL);
}

QUrl VendorSupportMailUrl() {
    QUrl mail;
    mail.setScheme("mailto");
    mail.setPath(VendorSupportAddress());
    QUrlQuery query;
    query.addQueryItem("subject", "About QuorvaneV2.2");
    mail.setQuery(query);
    return mail;
}

void OpenVendorLink(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace quorvane
