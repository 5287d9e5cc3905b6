#pragma once
// The cookie store. CookieStore::process() is the one every fetch of the process uses:
// cookies set by any response, on any thread, are kept there and sent with later
// requests, following the usual rules (domain, path, Secure, expiry). The front end
// opens it from a file at start (open), the CLI imports a browser's cookie file
// (importFile), the login browser hands its cookies over one by one (addCookie), and the
// front end saves it at exit (save). Between those, fetches save it now and then by
// themselves (saveIfDue), so a crash loses at most a few seconds of new cookies.
//
// Other instances are independent stores (tests use them to check that a saved file
// loads again); only the process store travels with fetches.
//
// Files are in the Netscape cookie format that browsers' export tools and curl write:
// one cookie a line, seven tab-separated fields (domain, include-subdomains, path,
// secure, expiry, name, value), "#HttpOnly_" before the domain of an HttpOnly cookie.

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

namespace pictrove {

struct CookieFields {
    QString domain{};  // a leading "." is ignored; hostOnly decides subdomain matching
    QString path = QStringLiteral("/");
    QString name{};
    QString value{};
    bool secure = false;
    bool httpOnly = false;
    bool hostOnly = false;  // sent to `domain` itself only, not to its subdomains
    qint64 expiry = 0;      // seconds since 1970; 0: a session cookie
};

// What opening the store's file found.
enum class CookieFileStatus {
    Opened,      // read, or not there yet: saves go to it
    Unreadable,  // there but it could not be read
    TooLarge,    // larger than CookieStore::kMaxCookieFileBytes: not read
};

class CookieStore {
public:
    CookieStore();
    ~CookieStore();
    CookieStore(const CookieStore &) = delete;
    CookieStore &operator=(const CookieStore &) = delete;

    // The store every fetch uses. Created on first use, never destroyed.
    static CookieStore &process();

    // Loads the cookies of `path` when it exists, and remembers it as the file that
    // save() and saveIfDue() write. A file that is there but cannot be read is not
    // remembered: it holds the user's logins for all this program knows, so this store
    // never writes over it, and its cookies live only as long as the process.
    CookieFileStatus open(const QString &path);
    // Writes every unexpired cookie to the remembered file: a temporary file beside it,
    // renamed over it when complete (a crash never leaves a half-written store), mode
    // 0600 because the cookies are the user's logins. Another process on the same file
    // may have saved since this store read it: cookies it changed and this store did
    // not are taken from the file (here too), so its new login survives this save; a
    // cookie both changed keeps the later change. The merge runs under a lock file
    // ("<file>.lock"). A file that cannot be read at that moment is not written over
    // (false). True when there is nothing to do.
    bool save();
    // save(), when cookies changed since the last save and the last save is a few
    // seconds old. Cheap when nothing is due; fetches call it after every exchange.
    void saveIfDue();
    // Marks the store changed (fetches call it when a response set a cookie).
    void noteChanged();

    // Adds every unexpired cookie of a Netscape-format file. Returns how many were
    // taken, -1 when the file cannot be read or is larger than kMaxCookieFileBytes.
    int importFile(const QString &path);
    // Far more than any browser's cookie file holds.
    static constexpr qint64 kMaxCookieFileBytes = 16 * 1024 * 1024;
    // Adds or replaces (same domain, path and name) one cookie; an expired one deletes
    // the cookie it replaces. False when a field cannot be stored: empty name or
    // domain, or control characters or ";" in a field.
    bool addCookie(const CookieFields &cookie);
    // Forgets every cookie.
    void clear();

    // Every cookie held, expired ones left out.
    QList<CookieFields> cookies() const;
    // "name=value; name2=value2": what a request to `url` would carry. Secure cookies
    // only for https addresses; longer paths first.
    QString cookieHeaderFor(const QString &url) const;

    // The libcurl share handle (CURLSH *) carrying these cookies, for the exchange.
    void *curlShare() const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace pictrove
