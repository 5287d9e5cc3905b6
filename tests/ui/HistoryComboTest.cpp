// The history combo boxes (owner address, save path): suggestions while typing and
// the whole history on drop-down.

#include "UiTestSupport.h"

#include "ui/mainwindow/HistoryComboBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>

namespace pictrove {

namespace {

const QStringList kHistory = {
    QStringLiteral("https://Weibo.com/AbC"),
    QStringLiteral("http://blog.sina.com.cn/u/1234567890"),
    QStringLiteral("http://weibo.com/abroadvrx?!oxffPRIVATE"),
};

TEST(HistoryComboTest, SuggestsMatchingEntriesLowerCased)
{
    HistoryComboBox box;
    box.setHistory(kHistory);
    const struct {
        const char *typed;
        QStringList offered;
    } cases[] = {
        {"ab", {QStringLiteral("https://weibo.com/abc"), QStringLiteral("http://weibo.com/abroad")}},
        {"AB", {QStringLiteral("https://weibo.com/abc"), QStringLiteral("http://weibo.com/abroad")}},
        {"sina", {QStringLiteral("http://blog.sina.com.cn/u/1234567890")}},
        {"private", {QStringLiteral("http://weibo.com/abroad")}},  // matched, but cut before the marker
        {"qq", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(box.suggestionsFor(QString::fromLatin1(c.typed)), c.offered);
    }
}

TEST(HistoryComboTest, TypingOpensTheSuggestionsAndKeepsTheText)
{
    HistoryComboBox box;
    box.setHistory({QStringLiteral("HTTP://WEIBO.COM/XY"), QStringLiteral("http://blog.sina.com.cn/")});
    box.show();
    box.lineEdit()->setFocus();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("xy"));
    EXPECT_EQ(box.suggestions(), QStringList{QStringLiteral("http://weibo.com/xy")});
    EXPECT_TRUE(box.suggestionsVisible());
    EXPECT_EQ(box.currentText(), QStringLiteral("xy"));
    EXPECT_EQ(box.lineEdit()->cursorPosition(), 2);
    EXPECT_EQ(box.count(), 0);  // the box's own list stays empty while typing

    QTest::keyClicks(box.lineEdit(), QStringLiteral("z"));
    EXPECT_FALSE(box.suggestionsVisible());
    box.lineEdit()->selectAll();
    QTest::keyClick(box.lineEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(box.suggestionsVisible());
}

TEST(HistoryComboTest, DropDownShowsTheWholeHistory)
{
    HistoryComboBox box;
    box.setHistory(kHistory);
    box.show();
    box.setEditText(QStringLiteral("typed"));
    box.showPopup();
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items.append(box.itemText(i));
    EXPECT_EQ(items, kHistory);
    EXPECT_EQ(box.currentText(), QStringLiteral("typed"));

    box.hidePopup();
    ASSERT_TRUE(waitUntil([&box] { return box.count() == 0; }));
    EXPECT_EQ(box.currentText(), QStringLiteral("typed"));

    box.addHistory(QStringLiteral("/new/"));
    EXPECT_EQ(box.history().first(), QStringLiteral("/new/"));
}

}  // namespace

}  // namespace pictrove
