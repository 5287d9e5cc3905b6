// addAlbum, the one way every list fetcher publishes an album: the name the grid and
// the album folder get, and the event that carries the final record.

#include "sources/AddAlbum.h"
#include "sources/Session.h"
#include "support/RecordingEvents.h"

#include <gtest/gtest.h>

namespace pictrove {

namespace {

TEST(addAlbum, CleansCutsAndNumbersNamesThenReportsTheFinalRecord)
{
    const QString longName(kShownNameLength, QLatin1Char('x'));
    const struct {
        QString found;
        QString listed;
    } cases[] = {
        {QStringLiteral("Trip"), QStringLiteral("Trip")},
        {QStringLiteral("Trip"), QStringLiteral("Trip (1)")},
        {QStringLiteral(" a:b &amp; c "), QStringLiteral("ab & c")},
        // Cut before the uniqueness test: names that differ only past the cut would
        // otherwise share one folder.
        {longName + QStringLiteral("A"), longName},
        {longName + QStringLiteral("B"), longName + QStringLiteral(" (1)")},
        // A listed name that takes the counter's next value is stepped over.
        {QStringLiteral("Trip (2)"), QStringLiteral("Trip (2)")},
        {QStringLiteral("Trip"), QStringLiteral("Trip (3)")},
        {QStringLiteral("Trip"), QStringLiteral("Trip (4)")},
    };
    RecordingEvents events;
    Session session(QString(), events);
    QStringList expectedLines;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.found.toStdString());
        const int index = session.albums.size();
        AlbumRecord found;
        found.name = c.found;
        found.url = QStringLiteral("http://h/%1").arg(index);
        found.pictureCount = 12;
        found.thumbnail = 5;

        EXPECT_EQ(addAlbum(session, found), index + 1);

        const AlbumRecord listed = session.albums.at(index);
        EXPECT_EQ(listed.name, c.listed);
        EXPECT_EQ(listed.url, found.url);
        EXPECT_EQ(listed.pictureCount, 12);
        EXPECT_EQ(listed.position, index);
        EXPECT_EQ(listed.thumbnail, -1);
        expectedLines.append(QStringLiteral("albumAdded %1 %2").arg(index).arg(c.listed));
    }
    EXPECT_EQ(events.log(), expectedLines);
    EXPECT_EQ(events.addedRows(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
}

}  // namespace

}  // namespace pictrove
