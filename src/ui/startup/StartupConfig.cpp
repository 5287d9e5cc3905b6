#include "ui/startup/StartupConfig.h"

#include "text/Scramble.h"

namespace pictrove {

namespace {

// obscureString with the service constants' key (sources/SourceConfigService.cpp).
const char16_t *const kStoredKey = u"Pictrove-1028";
const char *const kUpdateMessage =
    "1834535D5D52397C63706E6E724C2D6B433A2621202173647935103C4C493D763824670A000F1377442F486B33252B6C7D"
    "031D3564702678405B3A6C736D";
const char *const kStatusPrefix = "6F22483F48745F59";

constexpr int kUpdateExitDelayMs = 3000;

QString stored(const char *scrambled)
{
    return obscureString(QString::fromLatin1(scrambled), false, QString::fromUtf16(kStoredKey));
}

}  // namespace

bool checkForUpdate(StartupWindow &window, const SourceConfigService &service)
{
    const ServiceValues values = service.values();
    if (!service.answered() || !isNewerVersion(values.item(0))) {
        window.setNotice(stored(kStatusPrefix) + service.statusText());
        return false;
    }

    window.showUpdateLink();
    window.showMessage(stored(kUpdateMessage), QStringLiteral("提示"));
    if (!values.item(1).isEmpty())
        window.open(values.item(1));
    window.endProgramAfter(kUpdateExitDelayMs);
    return true;
}

void loadSourceConfig(StartupWindow &window, SourceConfigService &service)
{
    QStringList names;
    service.query(configurationKey(), names);
    if (!names.isEmpty())
        window.setSourceTypes(names);
    checkForUpdate(window, service);
}

}  // namespace pictrove
