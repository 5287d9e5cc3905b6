// The GUI suites need one QApplication for the whole run; offscreen by default.
#include <gtest/gtest.h>

#include <QApplication>

namespace pictrove {



}  // namespace pictrove

using namespace pictrove;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
