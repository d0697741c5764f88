#include "desktop/ImageListCashSmoll.h"

#include "base/Trace.h"
#include "fake/FakeIconStore.h"

#include <gtest/gtest.h>

namespace {

class ImageListCashSmollTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traces += line; });
        store.files = {"C:\\a.exe", "C:\\b.exe", "C:\\A.EXE"};
    }
    void TearDown() override { setTraceSink({}); }

    CFakeIconStore store;
    CImageListCashSmoll cache{store};
    std::string traces;
};

TEST_F(ImageListCashSmollTest, IndexesFollowFirstRequestsAndNeverChange) {
    EXPECT_EQ(cache.GetIconIndex("C:\\a.exe"), 0);
    EXPECT_EQ(cache.GetIconIndex("C:\\b.exe"), 1);
    EXPECT_EQ(cache.GetIconIndex("C:\\a.exe"), 0);
    // Letter case makes another key.
    EXPECT_EQ(cache.GetIconIndex("C:\\A.EXE"), 2);
    EXPECT_EQ(store.images.size(), 3u);
    EXPECT_EQ(store.shellQueries, 3);
    EXPECT_EQ(cache.keys(), store.images);
}

TEST_F(ImageListCashSmollTest, MissingFileIsCachedWithTheErrorIcon) {
    EXPECT_EQ(cache.GetIconIndex("C:\\gone.exe"), 0);
    EXPECT_EQ(traces, "ICON get fail path =C:\\gone.exe\n");
    EXPECT_EQ(store.images.back(), CFakeIconStore::kErrorIcon);
    EXPECT_EQ(cache.GetIconIndex("C:\\gone.exe"), 0);
    EXPECT_EQ(traces, "ICON get fail path =C:\\gone.exe\n");
}

TEST_F(ImageListCashSmollTest, DesktopKeyTakesTheProgramsOwnIcon) {
    EXPECT_EQ(cache.GetIconIndex("DESKTOP"), 0);
    EXPECT_EQ(store.images.back(), CFakeIconStore::kProgramIcon);
    EXPECT_EQ(store.shellQueries, 0);

    store.hasProgramIcon = false;
    CImageListCashSmoll other{store};
    EXPECT_EQ(other.GetIconIndex("DESKTOP"), -1);
    EXPECT_EQ(traces, "ICON get fail(LoadIcon) path =DESKTOP\n");
    EXPECT_TRUE(other.keys().empty());
}

TEST_F(ImageListCashSmollTest, RefusedPictureKeepsKeysAndImagesInStep) {
    store.refuse = true;
    EXPECT_EQ(cache.GetIconIndex("C:\\a.exe"), -1);
    EXPECT_TRUE(cache.keys().empty());
    store.refuse = false;
    EXPECT_EQ(cache.GetIconIndex("C:\\b.exe"), 0);
    EXPECT_EQ(cache.GetIconIndex("C:\\a.exe"), 1);
}

}  // namespace
