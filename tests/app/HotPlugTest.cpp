// Plug-in events refresh at once, whatever the poll interval: a burst gathered into one refresh,
// events during that refresh into exactly one more.
#include "AppDelegate.h"
#include "HotPlugSource.h"
#include "LitraController.h"
#include "RecordingStatusIcon.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QPointer>
#include <QSignalSpy>

using testsupport::waitUntil;

namespace {

class HotPlug : public testing::Test {
protected:
    void SetUp() override {
        delegate = std::make_unique<AppDelegate>(
            [] { return std::make_shared<LitraController>(QStringLiteral(GLOWDECK_SIMULATOR)); },
            [] { return std::make_unique<RecordingStatusIcon>(); });
        delegate->setHotPlug(
            [this] { return std::unique_ptr<HotPlugSource>(source = new HotPlugSource); },
            std::chrono::milliseconds(20));
        delegate->appState().setPollIntervalSeconds(3600);
        refreshes = std::make_unique<QSignalSpy>(delegate.get(), &AppDelegate::refreshFinished);
        delegate->setUp();
        ASSERT_TRUE(waitUntil([&] { return refreshes->size() == 1; }));
    }
    // Sends `count` events from within the next refresh, as it ends.
    void sendDuringNextRefresh(int count) {
        auto sent = std::make_shared<bool>(false);
        QObject::connect(delegate.get(), &AppDelegate::refreshFinished, source, [this, count, sent] {
            for (int i = 0; !*sent && i < count; ++i)
                emit source->devicesChanged();
            *sent = true;
        });
    }

    std::unique_ptr<AppDelegate> delegate;
    QPointer<HotPlugSource> source;
    std::unique_ptr<QSignalSpy> refreshes;
};

TEST_F(HotPlug, BurstsGiveOneRefreshAndEventsDuringOneGiveOneMore) {
    // (events at once, events during the refresh, refreshes)
    const std::tuple<int, int, qsizetype> table[] = {{1, 0, 1}, {5, 0, 1}, {1, 1, 2}, {3, 4, 2}};
    qsizetype total = refreshes->size();
    for (const auto& [burst, during, count] : table) {
        sendDuringNextRefresh(during);
        for (int i = 0; i < burst; ++i)
            emit source->devicesChanged();
        ASSERT_TRUE(waitUntil([&] { return !delegate->isRefreshingAfterPlug(); }));
        EXPECT_EQ(refreshes->size(), total += count) << burst << " then " << during;
    }
}

TEST_F(HotPlug, QuittingWithEventsPendingIsClean) {
    emit source->devicesChanged();  // still gathering
    delegate.reset();
    EXPECT_TRUE(source.isNull());

    SetUp();
    sendDuringNextRefresh(2);
    emit source->devicesChanged();
    ASSERT_TRUE(waitUntil([&] { return refreshes->size() == 2; }));
    ASSERT_TRUE(delegate->isRefreshingAfterPlug()) << "one more asked for";
    delegate.reset();
    QCoreApplication::processEvents();
}

}  // namespace
