#include "pins/WindowIndex.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

std::vector<CWinInf> listOf(std::initializer_list<const char*> exeNames) {
    std::vector<CWinInf> windows;
    for (const char* name : exeNames) windows.emplace_back().m_exeName = name;
    return windows;
}

std::vector<std::size_t> chainOf(const CWindowIndex& index, const std::string& exeName) {
    std::vector<std::size_t> chain;
    for (std::size_t i = index.first(exeName); i != CWindowIndex::npos; i = index.next(i)) chain.push_back(i);
    return chain;
}

TEST(CWindowIndex, EachProgramsWindowsComeInListOrder) {
    CWindowIndex index;
    index.build(listOf({"A.EXE", "B.EXE", "A.EXE", "C.EXE", "B.EXE", "A.EXE"}));
    EXPECT_EQ(chainOf(index, "A.EXE"), (std::vector<std::size_t>{0, 2, 5}));
    EXPECT_EQ(chainOf(index, "B.EXE"), (std::vector<std::size_t>{1, 4}));
    EXPECT_EQ(chainOf(index, "C.EXE"), (std::vector<std::size_t>{3}));
    EXPECT_EQ(index.first("a.exe"), CWindowIndex::npos) << "names compare exactly";
    EXPECT_EQ(index.first("D.EXE"), CWindowIndex::npos);
}

TEST(CWindowIndex, ARebuildShowsOnlyTheNewListAndForgetsProgramsThatWent) {
    CWindowIndex index;
    index.build(listOf({"A.EXE", "B.EXE", "A.EXE"}));
    index.build(listOf({"B.EXE", "C.EXE"}));
    EXPECT_EQ(index.first("A.EXE"), CWindowIndex::npos);
    EXPECT_EQ(chainOf(index, "B.EXE"), (std::vector<std::size_t>{0}));
    EXPECT_EQ(chainOf(index, "C.EXE"), (std::vector<std::size_t>{1}));
    EXPECT_EQ(index.programs(), 2u);

    index.build({});
    EXPECT_EQ(index.first("B.EXE"), CWindowIndex::npos);
    EXPECT_EQ(index.programs(), 0u);
}

}  // namespace
