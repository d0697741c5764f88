// The cycle's windows by executable name. A record with the process condition can only match
// a window of its own program, so with this index each record looks at that program's windows
// alone, and a cycle's work grows with windows plus records rather than with their product.
//
// The index lives as long as the panel: the names of the programs seen stay in it from cycle
// to cycle, so a cycle on an unchanged desktop allocates nothing; a program none of whose
// windows is listed any more is forgotten.
#pragma once

#include "pins/WinInf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CWindowIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Indexes windows, which must stay as they are while the index is asked.
    void build(const std::vector<CWinInf>& windows);
    // The position of the first window whose m_exeName is exeName, npos when there is none.
    std::size_t first(const std::string& exeName) const;
    // The position of the next window of the same program after position i, npos after the last.
    std::size_t next(std::size_t i) const { return m_next[i]; }

    // How many programs are remembered.
    std::size_t programs() const { return m_first.size(); }

private:
    struct Program {
        std::size_t first = npos;
        // The build in which the program last had a window.
        std::uint64_t build = 0;
    };
    std::unordered_map<std::string, Program> m_first;
    std::vector<std::size_t> m_next;
    std::uint64_t m_build = 0;
};
