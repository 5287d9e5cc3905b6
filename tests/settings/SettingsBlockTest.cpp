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
         {{HISTORY_SAVE_PATH, "a", true, letters("a")},
          {HISTORY_SAVE_PATH, "b", true, letters("ba")},
          {HISTORY_SAVE_PATH, "c", true, letters("cba")},
          {HISTORY_SAVE_PATH, "d", true, letters("dcba")},
          {HISTORY_SAVE_PATH, "e", true, letters("edcba")},
          {HISTORY_SAVE_PATH, "f", true, letters("fedcb")}}},
        {"equal ignoring case is refused and nothing moves",
         {{HISTORY_SAVE_PATH, "D:/Photos/", true, {"D:/Photos/"}},
          {HISTORY_SAVE_PATH, "E:/x/", true, {"E:/x/", "D:/Photos/"}},
          {HISTORY_SAVE_PATH, "d:/photos/", false, {"E:/x/", "D:/Photos/"}},
          {HISTORY_SAVE_PATH, "D:/Photos/", false, {"E:/x/", "D:/Photos/"}},
          {HISTORY_SAVE_PATH, "d:/fotos/äpfel/", true, {"d:/fotos/äpfel/", "E:/x/", "D:/Photos/"}},
          {HISTORY_SAVE_PATH, "D:/FOTOS/ÄPFEL/", false, {"d:/fotos/äpfel/", "E:/x/", "D:/Photos/"}}}},
        {"length limit",
         {{HISTORY_OWNER, at400, false, {}},
          {HISTORY_OWNER, at399, true, {at399}},
          {HISTORY_OWNER, at400 + "z", false, {at399}}}},
        {"empty text and unknown kind are refused",
         {{HISTORY_OWNER, "", false, {}},
          {2, "http://blog.sina.com.cn/u/1", false, {}},
          {-1, "http://blog.sina.com.cn/u/1", false, {}}}},
        {"histories are separate",
         {{HISTORY_OWNER, "http://weibo.com/u/1", true, {"http://weibo.com/u/1"}},
          {HISTORY_SAVE_PATH, "http://weibo.com/u/1", true, {"http://weibo.com/u/1"}},
          {HISTORY_OWNER, "http://weibo.com/u/2", true, {"http://weibo.com/u/2", "http://weibo.com/u/1"}}}},
    };
    for (const HistoryCase &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsBlock block;
        int index = 0;
        for (const Step &step : c.steps) {
            SCOPED_TRACE(index++);
            EXPECT_EQ(addHistory(block, step.kind, step.text), step.added);
            const int shown = step.kind == HISTORY_SAVE_PATH ? HISTORY_SAVE_PATH : HISTORY_OWNER;
            EXPECT_EQ(historyEntries(block, shown), step.after);
        }
    }
}

TEST(addHistory, EntriesSkipUnusedSlots)
{
    SettingsBlock block;
    block.ownerHistory[1] = "second";
    block.ownerHistory[3] = "fourth";
    EXPECT_EQ(historyEntries(block, HISTORY_OWNER), QStringList({"second", "fourth"}));
    EXPECT_TRUE(historyEntries(block, HISTORY_SAVE_PATH).isEmpty());
    EXPECT_TRUE(historyEntries(block, 7).isEmpty());

    // Insertion shifts every slot, unused ones included, as the stored record does.
    ASSERT_TRUE(addHistory(block, HISTORY_OWNER, "new"));
    EXPECT_EQ(block.ownerHistory[0], "new");
    EXPECT_EQ(block.ownerHistory[2], "second");
    EXPECT_EQ(block.ownerHistory[4], "fourth");
}

}  // namespace pictrove
