// Internal: the changed cells of a frame at sixteen colours, grouped by the
// colours they need, for the encoders of console cells and of mosaic cells.
// A colour code costs more than the cursor moves grouping adds (in
// truecolor several times more), so the cells go out group by group, each
// group in screen order: background by background, starting with the
// terminal's current one; within one, the blank cells together with those
// in the current foreground, then each other foreground.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

// A changed cell as (row << 16) | column among the shown cells: the numbers
// sort in screen order.
using Place = std::uint32_t;

struct ColourGroups {
    // Group background * 17 + foreground, with 16 for a blank cell (shown
    // by its background alone).
    static constexpr std::size_t groupCount = 16 * 17;

    // The frame's changed cells and their groups, as the encoder finds them;
    // then the cells sorted by group: group k is order[groupStart[k] ..
    // groupEnd[k]). Group sizes are counted in groupSize (all zero between
    // frames); groupsOf[background] has bit f set when group
    // background * 17 + f has cells.
    std::vector<Place> dirty;
    std::vector<std::uint16_t> dirtyGroup;
    std::vector<Place> order;
    std::array<std::uint32_t, groupCount> groupSize{};
    std::array<std::uint32_t, groupCount> groupStart{};
    std::array<std::uint32_t, groupCount> groupEnd{};
    std::array<std::uint32_t, 16> groupsOf{};

    // Room for `cells` changed cells; allocates only when it grows.
    void resize(std::size_t cells) {
        dirty.resize(cells);
        dirtyGroup.resize(cells);
        order.resize(cells);
    }

    // The first `count` changed cells sorted into their groups (a counting
    // sort, which keeps screen order within a group); the sizes are reset.
    void sort(std::size_t count) {
        std::uint32_t next = 0;
        for (std::size_t background = 0; background < 16; ++background) {
            for (std::uint32_t set = groupsOf[background]; set != 0; set &= set - 1) {
                const std::size_t key = background * 17 + static_cast<std::size_t>(std::countr_zero(set));
                groupStart[key] = groupEnd[key] = next;
                next += groupSize[key];
                groupSize[key] = 0;
            }
        }
        for (std::size_t i = 0; i < count; ++i) order[groupEnd[dirtyGroup[i]]++] = dirty[i];
    }

    // After sort(): the groups in the order they go out, and the groups
    // emptied for the next frame. `firstBackground` is the terminal's
    // background (-1: not one of the sixteen); foreground() gives its
    // foreground as it is when each background begins (-1 likewise).
    // range(begin, end) writes one group; merged(b1, e1, b2, e2) writes
    // two, the blank cells and those in the current foreground, together in
    // screen order.
    template <class Foreground, class Range, class Merged>
    void visit(int firstBackground, Foreground&& foreground, Range&& range, Merged&& merged) {
        const Place* const sorted = order.data();
        const auto group = [&](std::size_t key) { range(sorted + groupStart[key], sorted + groupEnd[key]); };
        for (int step = -1; step < 16; ++step) {
            const int background = step < 0 ? firstBackground : step;
            if (background < 0 || (step >= 0 && background == firstBackground)) continue;
            std::uint32_t& groups = groupsOf[static_cast<std::size_t>(background)];
            if (groups == 0) continue;
            const auto blank = static_cast<std::size_t>(background * 17 + 16);
            const int sameForeground = foreground();
            std::uint32_t rest = groups & 0xFFFF;
            if (sameForeground >= 0 && (groups & (1u << sameForeground)) != 0) {
                const auto same = static_cast<std::size_t>(background * 17 + sameForeground);
                if ((groups & (1u << 16)) != 0) {
                    merged(sorted + groupStart[blank], sorted + groupEnd[blank], sorted + groupStart[same],
                           sorted + groupEnd[same]);
                } else {
                    group(same);
                }
                rest &= ~(1u << sameForeground);
            } else if ((groups & (1u << 16)) != 0) {
                group(blank);
            }
            for (; rest != 0; rest &= rest - 1) group(background * 17 + static_cast<std::size_t>(std::countr_zero(rest)));
            groups = 0;
        }
    }
};

}  // namespace vantrel
