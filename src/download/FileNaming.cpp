#include "download/FileNaming.h"

#include "text/CleanName.h"
#include "download/AlbumQueue.h"
#include "text/TextScan.h"

#include <QDateTime>
#include <QHash>
#include <QLatin1StringView>
#include <QSet>
#include <QTimeZone>

namespace pictrove {

namespace {

// The first `count` code units, one less when the cut would split a surrogate pair.
QString leftAtBoundary(const QString &text, qsizetype count)
{
    if (count <= 0)
        return QString();
    if (count >= text.size())
        return text;
    if (text.at(count - 1).isHighSurrogate())
        --count;
    return text.left(count);
}

QString escape(int digit)
{
    return QStringLiteral("?%1").arg(digit);
}

void replaceEscape(QString &name, int digit, const QString &value)
{
    name.replace(escape(digit), value);
}

// The posts' times are read in the services' own time zone, so a post's date in a name
// is the one its page shows, wherever the program runs.
constexpr int kServiceUtcOffsetSeconds = 8 * 3600;

QString postTimeText(int64_t postTime, const char *format)
{
    if (postTime <= 0)
        return QString();
    const QDateTime time = QDateTime::fromSecsSinceEpoch(postTime, QTimeZone(kServiceUtcOffsetSeconds));
    return time.toString(QLatin1StringView(format));
}

}  // namespace

QString expandPostEscapes(const QString &name, const PictureNaming &in)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c != u'?' || i + 1 >= name.size()) {
            out.append(c);
            continue;
        }
        switch (name.at(i + 1).unicode()) {
        case u'd': out += postTimeText(in.picture.postTime, "yyyyMMdd"); break;
        case u't': out += postTimeText(in.picture.postTime, "HHmmss"); break;
        case u'p': out += in.picture.postId; break;
        case u'i': out += in.picture.pictureId; break;
        case u'n': out += in.numberInPost > 0 ? QString::number(in.numberInPost) : QString(); break;
        case u'o': out += in.ownerId; break;
        default: out.append(c); continue;
        }
        ++i;
    }
    return out;
}

QString pictureNameBase(const PictureNaming &in)
{
    const NameRules &rules = in.rules;
    const QString sequence = QString::number(in.sequence);
    QString base;
    switch (rules.fileBase) {
    case kFileBaseDescription:
        base = cleanName(in.picture.title, 0, false);
        if (base.isEmpty())
            base = in.album.name;
        break;
    case kFileBaseAddress: {
        // A video's or a moving part's query is a signature that changes from one
        // listing to the next, no part of its name. A picture's stays in it, as it
        // always did: some hosts tell their pictures apart by the query alone.
        const QString address = in.picture.kind == MediaKind::Still
            ? in.picture.address
            : in.picture.address.section(QLatin1Char('?'), 0, 0);
        const qsizetype slash = address.lastIndexOf(QLatin1Char('/'));
        base = slash >= 1 && slash + 1 < address.size() ? address.mid(slash + 1) : sequence;
        break;
    }
    default:
        base = sequence;
        break;
    }

    QString name = rules.filePrefix + base + rules.fileSuffix;
    // In digit order, so a value that brings in a later escape is expanded too.
    const qint64 index = qint64(in.album.position) + 1;  // a position of 2^31-1 still has a successor
    replaceEscape(name, 1, in.album.name);
    replaceEscape(name, 2, sequence);
    replaceEscape(name, 3, QString::number(index));
    replaceEscape(name, 4, QString::number(in.album.extraNumber1));
    replaceEscape(name, 5, QString::number(in.album.extraNumber2));
    replaceEscape(name, 6, QString::number(in.selectedAlbumCount));
    replaceEscape(name, 7, QString::number(in.albumCount));
    replaceEscape(name, 8, in.ownerName);
    replaceEscape(name, 9, QString::asprintf("%04lld", static_cast<long long>(index)));
    name = expandPostEscapes(name, in);

    replaceEach(name, rules.findText, rules.replaceText);
    return cleanName(name, kCleanNameTimeFallback, true);
}

QString albumFolderName(const AlbumRecord &album, const NameRules &rules)
{
    QString folder = rules.folderBase == kFolderBaseAlbumName ? album.name : QString();
    folder = rules.folderPrefix + folder + rules.folderSuffix;
    // Only these three have a value for a whole album; the others stay as written
    // and lose their question mark in the cleaning.
    const qint64 index = qint64(album.position) + 1;
    replaceEscape(folder, 1, album.name);
    replaceEscape(folder, 3, QString::number(index));
    replaceEscape(folder, 9, QString::asprintf("%04lld", static_cast<long long>(index)));
    return fitUtf8(cleanName(folder, 0, false), QString());
}

bool foldersNameEachAlbum(const NameRules &rules)
{
    if (rules.folderBase == kFolderBaseAlbumName)
        return true;
    for (const int digit : {1, 3, 9}) {
        if (rules.folderPrefix.contains(escape(digit)) || rules.folderSuffix.contains(escape(digit)))
            return true;
    }
    return false;
}

QStringList albumFolderNames(const QList<AlbumRecord> &listed, const NameRules &rules)
{
    QStringList names;
    names.reserve(listed.size());
    const bool unique = foldersNameEachAlbum(rules);
    QSet<QString> taken;  // case-folded
    QHash<QString, uint> nextCounter;
    for (const AlbumRecord &album : listed) {
        const QString base = albumFolderName(album, rules);
        QString name = base;
        if (unique && !base.isEmpty() && taken.contains(base.toCaseFolded())) {
            uint k = nextCounter.value(base.toCaseFolded(), 1);
            do {
                const QString tail = QStringLiteral(" (%1)").arg(k++);
                name = fitUtf8(base, tail) + tail;
            } while (taken.contains(name.toCaseFolded()));
            nextCounter.insert(base.toCaseFolded(), k);
        }
        taken.insert(name.toCaseFolded());
        names.append(name);
    }
    return names;
}

QString mediaExtension(MediaKind kind)
{
    switch (kind) {
    case MediaKind::Still: break;
    case MediaKind::Animated: return QStringLiteral(".gif");
    case MediaKind::LiveMotion: return QStringLiteral(".mov");
    case MediaKind::Video: return QStringLiteral(".mp4");
    }
    return QStringLiteral(".jpg");
}

QString finalFileName(const QString &collisionBase, const QString &jobFolder, AlbumQueue &queue, MediaKind kind)
{
    const qsizetype room = 250 - jobFolder.size();
    QString name = collisionBase.size() > room ? leftAtBoundary(collisionBase, room)
                                               : collisionBase;
    QString extension = mediaExtension(kind);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool ownExtension = dot >= 0 && name.mid(dot).compare(extension, Qt::CaseInsensitive) == 0;
    if (hasPictureExtension(name) || ownExtension) {
        if (kind == MediaKind::Still)
            extension = name.mid(dot);
        name.truncate(dot);
    }

    QString candidate = fitUtf8(name, extension) + extension;
    // The counter goes on the name as the rules made it, before the length limit and
    // the extension split: a second a.jpg becomes a.jpg(1).jpg.
    if (!queue.nameTaken(candidate))
        return candidate;
    uint k = queue.nextCounter(collisionBase);
    do {
        const QString tail = QStringLiteral("(%1)").arg(k++) + extension;
        candidate = fitUtf8(collisionBase, tail) + tail;
    } while (queue.nameTaken(candidate));
    queue.setNextCounter(collisionBase, k);
    return candidate;
}

bool hasPictureExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot).toLower();
    static const QLatin1StringView kExtensions[] = {
        QLatin1StringView(".jpeg"), QLatin1StringView(".jpg"), QLatin1StringView(".bmp"),
        QLatin1StringView(".gif"),  QLatin1StringView(".png"), QLatin1StringView(".tif"),
    };
    for (const QLatin1StringView known : kExtensions) {
        if (extension == known)
            return true;
    }
    return false;
}

QString fitUtf8(const QString &stem, const QString &tail, int maxBytes)
{
    qsizetype budget = maxBytes - tail.toUtf8().size();
    if (budget <= 0)
        return QString();
    // Walk code points, keeping whole ones while they fit.
    qsizetype kept = 0;
    while (kept < stem.size()) {
        const char32_t c = stem.at(kept).unicode();
        qsizetype units = 1;
        qsizetype bytes = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (stem.at(kept).isHighSurrogate() && kept + 1 < stem.size()
            && stem.at(kept + 1).isLowSurrogate()) {
            units = 2;
            bytes = 4;
        }
        if (bytes > budget)
            break;
        budget -= bytes;
        kept += units;
    }
    return kept == stem.size() ? stem : stem.left(kept);
}

}  // namespace pictrove
