#include "ui/startup/MakerPages.h"

#include "text/Scramble.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace pictrove {

namespace {

// obscureString with this key; tests/ui/MenuCommandsTest.cpp holds the plain texts.
const char16_t *const kKey = u"Pictrove-pages";

const char *const kFileProcessing =
    "C7E2E8FBFEAAA6B5A2E6FDECE8E3D9F3B2EE8DCCF1E4EABEEAB1EC9ACCE3C3E5B3EDE4FCECB7A2FDF1FB9ACE8CCEDC96CE9CCDEC";
const char *const kConsultation = "C7E2E8FBFEAAA6B5A2E6FDECE8E3D9F3B2EE8DCCF1E4EABEEAB1FB9ACCE2DCE3F08BCE";
const char *const kFeedback = "C7E2E8FBFEAAA6B5A2E6FDECE8E3D9F3B2EE8DCCF1E4EABEEAB1FE9ACEE9CBF4FDE8E6";

QString plain(const char *scrambled)
{
    return obscureString(QString::fromLatin1(scrambled), false, QString::fromUtf16(kKey));
}

}  // namespace

QString fileProcessingPageAddress() { return plain(kFileProcessing); }
QString consultationPageAddress() { return plain(kConsultation); }
QString feedbackPageAddress() { return plain(kFeedback); }

QString manualAddress()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString candidates[] = {
        programFolder + QStringLiteral("/" PICTROVE_MANUAL_FROM_BIN),
        programFolder + QStringLiteral("/manual.html"),
        programFolder + QStringLiteral("/docs/manual.html"),
        QStringLiteral(PICTROVE_SOURCE_DOCS_DIR "/manual.html"),
    };
    for (const QString &path : candidates) {
        if (QFileInfo(path).isFile())
            return QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(path).absoluteFilePath())).toString();
    }
    return QString();
}

}  // namespace pictrove
