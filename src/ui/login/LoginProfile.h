#pragma once
// The login browser's web profile and its cookie bridge. The profile is named and
// persistent, kept in the data folder, so a login made in the browser survives a
// restart of the program. Every cookie the browser's cookie store receives (HttpOnly
// and session cookies too) is handed to the engine's cookie store, so the next fetch
// of the same site runs as the logged-in user; a cookie the browser deletes (a
// logout, an expiry) is deleted there too.

#include "net/CookieStore.h"

#include <QString>

class QNetworkCookie;
class QWebEngineProfile;

namespace pictrove {

// The profile, created on the first call with its files under `dataFolder` (ending in
// "/"); later calls return the same profile whatever folder they name.
QWebEngineProfile *loginProfile(const QString &dataFolder);

// Destroys the profile. Only for a process that tears down its QApplication in order
// (the tests): every page using the profile must be gone first.
void releaseLoginProfile();

// A browser cookie as the engine's cookie store takes it.
CookieFields cookieFieldsFrom(const QNetworkCookie &cookie);

}  // namespace pictrove
