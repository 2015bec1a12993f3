// One program per session: a later start hands its request to the running program.
#include <gtest/gtest.h>

#include "SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace vornik::ui {
namespace {

// A later start that finds the running program slow to answer tries again until it gives up; the
// running program, once it looks, takes the request once (it used to get one copy per try, and load the
// profile, asking about unsaved changes, as often).
TEST(SingleInstanceTest, ARequestTriedAgainIsTakenOnce) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SingleInstance running(folder.path());
    ASSERT_EQ(running.start({}), SingleInstance::Role::First);
    QList<QStringList> taken;
    running.setHandler([&](const QStringList& request) { taken << request; });

    // The later start runs on this thread: the running program cannot answer until it has given up,
    // as a busy one cannot.
    const QStringList request = SingleInstance::openRequest(QStringLiteral("/tmp/fighter.vornik"));
    {
        SingleInstance later(folder.path());
        EXPECT_EQ(later.start(request, 2500), SingleInstance::Role::Failed);
    }
    QElapsedTimer looked;
    looked.start();
    while (looked.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(taken, QList<QStringList>{request});
}

} // namespace
} // namespace vornik::ui
