#include "text/Charsets.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include <atomic>
#include <thread>
#include <vector>

namespace pictrove {

// Pages are decoded on every list and download thread at once: a converter shared
// between calls (an iconv descriptor keeps shift state) would garble them here.
TEST(CharsetsThreads, ConversionsRunConcurrently)
{
    const QString text = QString::fromUtf16(u"\u65b0\u6d6a\u535a\u5ba2 album \u76f8\u518c ").repeated(50);
    const QByteArray gbk = toGbk(text);
    const QByteArray utf8 = text.toUtf8();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                if (fromCodePage(gbk, kCodePageGbk) != text || fromCodePage(utf8, kCodePageUtf8) != text ||
                    toGbk(text) != gbk)
                    failures.fetch_add(1);
            }
        });
    }
    for (std::thread &t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace pictrove
