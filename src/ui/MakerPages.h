#pragma once
// The program's own pages opened by the 辅助功能 and 帮助 entries, and the user manual
// installed beside the program. The web addresses are kept scrambled in the binary.

#include <QString>

namespace pictrove {

QString fileProcessingPageAddress();
QString consultationPageAddress();
QString feedbackPageAddress();

// The user manual "manual.html": next to the executable when installed, else in a
// docs folder beside it or in the source tree's docs folder (a build that was never
// installed). A file: address; empty when none of them holds it.
QString manualAddress();

}  // namespace pictrove
