#include "net/ReceiveTrim.h"

#include <gtest/gtest.h>

#include <QByteArrayList>

namespace pictrove {

namespace {

struct TrimCase {
    const char *name;
    QByteArrayList pieces;  // as they arrive
    QByteArray start;
    QByteArray end;
    QByteArray body;
    bool stopped;
    int stoppedAtPiece;  // index of the piece that brought the end marker, -1 if none
};

}  // namespace

TEST(ReceiveTrim, MarkersApplyAsPiecesArrive)
{
    const TrimCase cases[] = {
        {"start marker repeated", {"a<ul>b<ul>c"}, "<ul>", "", "c", false, -1},
        {"end marker cuts and stops", {"x</ul>y"}, "", "</ul>", "x", true, 0},
        {"both markers", {"head<ul>one<ul>two</ul>tail"}, "<ul>", "</ul>", "two", true, 0},
        {"start marker split across pieces", {"a<u", "l>b<", "ul>c"}, "<ul>", "", "c", false, -1},
        {"end marker split across pieces", {"x</", "u", "l>rest", "never"}, "", "</ul>", "x", true, 2},
        {"later start marker after an end-free piece", {"<ul>one", "two<ul>three"}, "<ul>", "</ul>", "three", false, -1},
        // Deleting through the FIRST occurrence, repeatedly: "aaa" keeps its last "a".
        {"overlapping start markers", {"aaa"}, "aa", "", "a", false, -1},
        {"end marker inside the trimmed-away part is ignored", {"</ul><ul>x"}, "<ul>", "</ul>", "x", false, -1},
        {"no markers", {"plain ", "page"}, "", "", "plain page", false, -1},
        {"end marker at the very start", {"</ul>all"}, "", "</ul>", "", true, 0},
    };
    for (const TrimCase &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray body;
        int stoppedAt = -1;
        for (int i = 0; i < c.pieces.size() && stoppedAt < 0; ++i) {
            body += c.pieces[i];
            if (trimWhileReceiving(body, c.pieces[i].size(), c.start, c.end))
                stoppedAt = i;
        }
        EXPECT_EQ(body, c.body);
        EXPECT_EQ(stoppedAt >= 0, c.stopped);
        EXPECT_EQ(stoppedAt, c.stoppedAtPiece);
    }
}

}  // namespace pictrove
