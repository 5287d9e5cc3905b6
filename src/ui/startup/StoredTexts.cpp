#include "ui/startup/StoredTexts.h"

#include "text/Scramble.h"

namespace pictrove {

namespace {

// obscureString with this key. tests/ui/StoredTextsTest.cpp holds the plain texts and
// prints the scrambled form of a changed one.
const char16_t *const kKey = u"Pictrove-desk";

const char *const kBanner =
    "14204F2647295A59D2CDCBF3EFE0DDF9EAEE2E2A5C291E62556C264E406B4346254D572A4D2D2F381A75277C2C20326B1A3A"
    "556C264E372D282141284C0249303D371B70294F42703B7B68682F6F2F58372C444F44513B633A39";
const char *const kSplash =
    "AFCE96CE9CCE8BCE8DCE90CE89CE9ACED2CD4E67584E69622A242E3C5C6706412C4D5C0E56285F39556D4C113A372D39";
const char *const kAbout =
    "AFCE96CE9CCE8BCE8DCE90CE89CE9ACED2CD4B584C5F1D3F23465E7B47386032556C264E53664A325F4B4E0A223E324B";
const char *const kHomePage = "C7E2E8FBFEAAA6B5A29BCDF9F8E6C0E0F9A5E8E8E8F7A2F79ACEA3";

QString plain(const char *scrambled)
{
    return obscureString(QString::fromLatin1(scrambled), false, QString::fromUtf16(kKey));
}

}  // namespace

QString bannerText() { return plain(kBanner); }
QString splashText() { return plain(kSplash); }
QString aboutText() { return plain(kAbout); }
QString homePageAddress() { return plain(kHomePage); }
QString homePageCaption() { return QStringLiteral("Pictrove 主页与联系方式"); }

}  // namespace pictrove
