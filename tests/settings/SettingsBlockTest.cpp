#include "settings/SettingsBlock.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace pictrove {

namespace {

struct Step {
    int kind;
    QString text;
    bool added;
    QStringList after;  // non-empty entries of the same history, newest first
};

struct HistoryCase {
    const char *name;
    QList<Step> steps;
};

QStringList letters(const char *newestFirst)
{
    QStringList list;
    for (const char *c = newestFirst; *c; ++c)
        list.append(QString(QChar(*c)));
    return list;
}

}  // namespace

TEST(addHistory, KeepsFiveDistinctEntriesNewestFirst)
{
    const QString at399(399, u'x');
    const QString at400(400, u'y');
    const QList<HistoryCase> cases = {
        {"sixth entry drops the oldest",
         {{kHistorySavePath, "a", true, letters("a")},
          {kHistorySavePath, "b", true, letters("ba")},
          {kHistorySavePath, "c", true, letters("cba")},
          {kHistorySavePath, "d", true, letters("dcba")},
          {kHistorySavePath, "e", true, letters("edcba")},
          {kHistorySavePath, "f", true, letters("fedcb")}}},
        {"equal ignoring case is refused and nothing moves",
         {{kHistorySavePath, "D:/Photos/", true, {"D:/Photos/"}},
          {kHistorySavePath, "E:/x/", true, {"E:/x/", "D:/Photos/"}},
          {kHistorySavePath, "d:/photos/", false, {"E:/x/", "D:/Photos/"}},
          {kHistorySavePath, "D:/Photos/", false, {"E:/x/", "D:/Photos/"}},
          {kHistorySavePath, "d:/fotos/äpfel/", true, {"d:/fotos/äpfel/", "E:/x/", "D:/Photos/"}},
          {kHistorySavePath, "D:/FOTOS/ÄPFEL/", false, {"d:/fotos/äpfel/", "E:/x/", "D:/Photos/"}}}},
        {"length limit",
         {{kHistoryOwner, at400, false, {}},
          {kHistoryOwner, at399, true, {at399}},
          {kHistoryOwner, at400 + "z", false, {at399}}}},
        {"empty text and unknown kind are refused",
         {{kHistoryOwner, "", false, {}},
          {2, "http://blog.sina.com.cn/u/1", false, {}},
          {-1, "http://blog.sina.com.cn/u/1", false, {}}}},
        {"histories are separate",
         {{kHistoryOwner, "http://weibo.com/u/1", true, {"http://weibo.com/u/1"}},
          {kHistorySavePath, "http://weibo.com/u/1", true, {"http://weibo.com/u/1"}},
          {kHistoryOwner, "http://weibo.com/u/2", true, {"http://weibo.com/u/2", "http://weibo.com/u/1"}}}},
    };
    for (const HistoryCase &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsBlock block;
        int index = 0;
        for (const Step &step : c.steps) {
            SCOPED_TRACE(index++);
            EXPECT_EQ(addHistory(block, step.kind, step.text), step.added);
            const int shown = step.kind == kHistorySavePath ? kHistorySavePath : kHistoryOwner;
            EXPECT_EQ(historyEntries(block, shown), step.after);
        }
    }
}

TEST(addHistory, EntriesSkipUnusedSlots)
{
    SettingsBlock block;
    block.ownerHistory[1] = "second";
    block.ownerHistory[3] = "fourth";
    EXPECT_EQ(historyEntries(block, kHistoryOwner), QStringList({"second", "fourth"}));
    EXPECT_TRUE(historyEntries(block, kHistorySavePath).isEmpty());
    EXPECT_TRUE(historyEntries(block, 7).isEmpty());

    // Insertion shifts every slot, unused ones included, as the stored record does.
    ASSERT_TRUE(addHistory(block, kHistoryOwner, "new"));
    EXPECT_EQ(block.ownerHistory[0], "new");
    EXPECT_EQ(block.ownerHistory[2], "second");
    EXPECT_EQ(block.ownerHistory[4], "fourth");
}

}  // namespace pictrove
