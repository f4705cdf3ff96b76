#pragma once
// The vendor's web site, question page and support mail, opened with the
// user's default browser or mail program. The outcome is not reported.

#include <QUrl>

namespace quorvane {

QUrl VendorWebSiteUrl();
QUrl VendorFaqUrl();
// A new mail to the support address with the subject "About QuorvaneV2.2".
QUrl VendorSupportMailUrl();
QString VendorSupportAddress();
void OpenVendorLink(const QUrl& url);

} // namespace quorvane
