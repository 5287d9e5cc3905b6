#include "sources/AlbumColumns.h"

namespace pictrove {

QString albumCountText(int32_t picCount)
{
    if (picCount == -1)
        return QStringLiteral("未知");
    return QStringLiteral("%1").arg(uint32_t(picCount), 4);
}

QString albumRemarkText(int32_t flags)
{
    if (flags < 0)
        return QStringLiteral("%1").arg(uint32_t(flags) & 0x7FFFFFFFu, 8, 10, QLatin1Char('0'));
    if (flags & 0x1)
        return QStringLiteral("加密相册");
    if (flags & 0x2)
        return QStringLiteral("私密相册");
    if (flags & 0x4)
        return QStringLiteral("好友可见");
    return QString();
}

QString archivedCountText(int archived, int32_t picCount)
{
    if (picCount < 0)
        return QStringLiteral("已存档 %1").arg(archived);
    return QStringLiteral("已存档 %1/%2").arg(archived).arg(picCount);
}

QString archivedCountText(const ArchivedCounts &counts, int32_t picCount)
{
    QString text = archivedCountText(counts.archived, picCount);
    if (counts.missingFiles > 0)
        text += QStringLiteral(" · 缺文件 %1").arg(counts.missingFiles);
    if (counts.failed > 0)
        text += QStringLiteral(" · 失败 %1").arg(counts.failed);
    return text;
}

}  // namespace pictrove
