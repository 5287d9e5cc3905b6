// The scanning the sources do over their pages (album lists, photo JSON, blog HTML):
// the same calls in the same order, on any text. Seeded with the saved service pages.
#include "FuzzInput.h"
#include "sources/SourceFetch.h"
#include "text/TextScan.h"

#include <QStringList>

using namespace pictrove;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList pieces;
    for (const QString &separator : {QStringLiteral("\"album_id\":"), QStringLiteral("class=\"pt_border\""),
                                     QStringLiteral("\"category\":\""), QStringLiteral("class=\"atc_title\">")}) {
        split(page, separator, pieces);
        for (QString piece : std::as_const(pieces)) {
            (void)decimalValue(getBetween(piece, QStringLiteral("\"count\":"), QStringLiteral(","), BETWEEN_ADVANCE));
            (void)unescapeSlashes(getBetween(piece, QStringLiteral("src=\""), QStringLiteral("\""), BETWEEN_ADVANCE));
            (void)stripTags(unescapeUnicode(getBetween(piece, QStringLiteral("\"caption\":\""), QStringLiteral("\",\""))));
            QString rest = piece;
            keepBefore(rest, QStringLiteral("\""));
        }
    }
    QString text = page;
    decodeEntities(text);
    (void)countOf(page, QStringLiteral("real_src =\""));
    return 0;
}
