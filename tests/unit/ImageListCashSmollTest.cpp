#include "desktop/ImageListCashSmoll.h"

#include "desktop/Trace.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// An image list that counts its pictures, with icons for the paths it is told about.
class FakeIconStore : public CSmallIconStore {
public:
    std::optional<Icon> programIcon() override {
        if (!hasProgramIcon) return std::nullopt;
        return Icon{137, Origin::programResource};
    }
    std::optional<Icon> fileIcon(const std::string& path) override {
        ++shellQueries;
        if (!files.count(path)) return std::nullopt;
        return Icon{nextHandle++, Origin::shell};
    }
    Icon errorIcon() override { return Icon{32513, Origin::stock}; }
    int append(const Icon& icon) override {
        if (refuse) return -1;
        images.push_back(icon.handle);
        return static_cast<int>(images.size()) - 1;
    }
    void release(const Icon& icon) override { released.insert(icon.handle); }

    std::set<std::string> files;
    bool hasProgramIcon = true;
    bool refuse = false;
    int shellQueries = 0;
    std::uintptr_t nextHandle = 1000;
    std::vector<std::uintptr_t> images;
    std::set<std::uintptr_t> released;
};

class ImageListCashSmollTest : public ::testing::Test {
protected:
    void SetUp() override {
        setTraceSink([this](const std::string& line) { traces += line; });
        store.files = {"C:\\a.exe", "C:\\b.exe", "C:\\A.EXE"};
    }
    void TearDown() override { setTraceSink({}); }

    FakeIconStore store;
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
    EXPECT_EQ(cache.keys().size(), store.images.size());
    // Every handle the shell made went back.
    EXPECT_EQ(store.released, (std::set<std::uintptr_t>{1000, 1001, 1002}));
}

TEST_F(ImageListCashSmollTest, MissingFileIsCachedWithTheErrorIcon) {
    EXPECT_EQ(cache.GetIconIndex("C:\\gone.exe"), 0);
    EXPECT_EQ(traces, "ICON get fail path =C:\\gone.exe\n");
    EXPECT_EQ(store.images.back(), 32513u);
    EXPECT_EQ(cache.GetIconIndex("C:\\gone.exe"), 0);
    EXPECT_EQ(traces, "ICON get fail path =C:\\gone.exe\n");
    EXPECT_TRUE(store.released.empty());
}

TEST_F(ImageListCashSmollTest, DesktopKeyTakesTheProgramsOwnIcon) {
    EXPECT_EQ(cache.GetIconIndex("DESKTOP"), 0);
    EXPECT_EQ(store.images.back(), 137u);
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
    EXPECT_EQ(store.released.size(), 1u);
    store.refuse = false;
    EXPECT_EQ(cache.GetIconIndex("C:\\b.exe"), 0);
    EXPECT_EQ(cache.GetIconIndex("C:\\a.exe"), 1);
}

}  // namespace
