#pragma once
// The desktop program's own constant texts that are kept out of plain sight in the
// binary (banner, splash, About line, home page), unscrambled when shown.

#include <QString>

namespace pictrove {

QString bannerText();
QString splashText();
QString aboutText();
QString homePageAddress();
// Caption of the home-page link (1032); shown as is.
QString homePageCaption();

}  // namespace pictrove
