#pragma once
// The program's own pages opened by the 辅助功能 and 帮助 entries, and the user manual
// installed beside the program. The web addresses are kept scrambled in the binary.

#include <QString>

namespace pictrove {

QString fileProcessingPageAddress();
QString consultationPageAddress();
QString feedbackPageAddress();

// The user manual "manual.html": in the documentation folder of the install prefix
// (share/doc/pictrove/), else next to the executable or in a docs folder beside it (an
// unpacked copy), else in the source tree's docs folder (a build that was never
// installed). A file: address; empty when none of them holds it.
QString manualAddress();

}  // namespace pictrove
