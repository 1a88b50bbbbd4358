// The mosaic renderer: every symbol's geometry against its Unicode name, the
// choice on random cells against an exhaustive search over every symbol and
// colour pair, the error diffusion through a recording decider, and the
// sRGB encoding by table against linearToSrgb.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "picture/mosaic_diffusion.h"
#include "picture/mosaic_search.h"
#include "picture/mosaic_symbols.h"
#include "vantrel/mosaic_renderer.h"

using namespace vantrel;

namespace {

// Unicode's names of the block elements and sextants the mosaic draws.
const std::map<char32_t, std::string> unicodeNames = {
    {0x2580, "UPPER HALF BLOCK"},
    {0x2581, "LOWER ONE EIGHTH BLOCK"},
    {0x2582, "LOWER ONE QUARTER BLOCK"},
    {0x2583, "LOWER THREE EIGHTHS BLOCK"},
    {0x2584, "LOWER HALF BLOCK"},
    {0x2585, "LOWER FIVE EIGHTHS BLOCK"},
    {0x2586, "LOWER THREE QUARTERS BLOCK"},
    {0x2587, "LOWER SEVEN EIGHTHS BLOCK"},
    {0x2588, "FULL BLOCK"},
    {0x2589, "LEFT SEVEN EIGHTHS BLOCK"},
    {0x258A, "LEFT THREE QUARTERS BLOCK"},
    {0x258B, "LEFT FIVE EIGHTHS BLOCK"},
    {0x258C, "LEFT HALF BLOCK"},
    {0x258D, "LEFT THREE EIGHTHS BLOCK"},
    {0x258E, "LEFT ONE QUARTER BLOCK"},
    {0x258F, "LEFT ONE EIGHTH BLOCK"},
    {0x2590, "RIGHT HALF BLOCK"},
    {0x2596, "QUADRANT LOWER LEFT"},
    {0x2597, "QUADRANT LOWER RIGHT"},
    {0x2598, "QUADRANT UPPER LEFT"},
    {0x2599, "QUADRANT UPPER LEFT AND LOWER LEFT AND LOWER RIGHT"},
    {0x259A, "QUADRANT UPPER LEFT AND LOWER RIGHT"},
    {0x259B, "QUADRANT UPPER LEFT AND UPPER RIGHT AND LOWER LEFT"},
    {0x259C, "QUADRANT UPPER LEFT AND UPPER RIGHT AND LOWER RIGHT"},
    {0x259D, "QUADRANT UPPER RIGHT"},
    {0x259E, "QUADRANT UPPER RIGHT AND LOWER LEFT"},
    {0x259F, "QUADRANT UPPER RIGHT AND LOWER LEFT AND LOWER RIGHT"},
    {0x1FB00, "BLOCK SEXTANT-1"},
    {0x1FB01, "BLOCK SEXTANT-2"},
    {0x1FB02, "BLOCK SEXTANT-12"},
    {0x1FB03, "BLOCK SEXTANT-3"},
    {0x1FB04, "BLOCK SEXTANT-13"},
    {0x1FB05, "BLOCK SEXTANT-23"},
    {0x1FB06, "BLOCK SEXTANT-123"},
    {0x1FB07, "BLOCK SEXTANT-4"},
    {0x1FB08, "BLOCK SEXTANT-14"},
    {0x1FB09, "BLOCK SEXTANT-24"},
    {0x1FB0A, "BLOCK SEXTANT-124"},
    {0x1FB0B, "BLOCK SEXTANT-34"},
    {0x1FB0C, "BLOCK SEXTANT-134"},
    {0x1FB0D, "BLOCK SEXTANT-234"},
    {0x1FB0E, "BLOCK SEXTANT-1234"},
    {0x1FB0F, "BLOCK SEXTANT-5"},
    {0x1FB10, "BLOCK SEXTANT-15"},
    {0x1FB11, "BLOCK SEXTANT-25"},
    {0x1FB12, "BLOCK SEXTANT-125"},
    {0x1FB13, "BLOCK SEXTANT-35"},
    {0x1FB14, "BLOCK SEXTANT-235"},
    {0x1FB15, "BLOCK SEXTANT-1235"},
    {0x1FB16, "BLOCK SEXTANT-45"},
    {0x1FB17, "BLOCK SEXTANT-145"},
    {0x1FB18, "BLOCK SEXTANT-245"},
    {0x1FB19, "BLOCK SEXTANT-1245"},
    {0x1FB1A, "BLOCK SEXTANT-345"},
    {0x1FB1B, "BLOCK SEXTANT-1345"},
    {0x1FB1C, "BLOCK SEXTANT-2345"},
    {0x1FB1D, "BLOCK SEXTANT-12345"},
    {0x1FB1E, "BLOCK SEXTANT-6"},
    {0x1FB1F, "BLOCK SEXTANT-16"},
    {0x1FB20, "BLOCK SEXTANT-26"},
    {0x1FB21, "BLOCK SEXTANT-126"},
    {0x1FB22, "BLOCK SEXTANT-36"},
    {0x1FB23, "BLOCK SEXTANT-136"},
    {0x1FB24, "BLOCK SEXTANT-236"},
    {0x1FB25, "BLOCK SEXTANT-1236"},
    {0x1FB26, "BLOCK SEXTANT-46"},
    {0x1FB27, "BLOCK SEXTANT-146"},
    {0x1FB28, "BLOCK SEXTANT-1246"},
    {0x1FB29, "BLOCK SEXTANT-346"},
    {0x1FB2A, "BLOCK SEXTANT-1346"},
    {0x1FB2B, "BLOCK SEXTANT-2346"},
    {0x1FB2C, "BLOCK SEXTANT-12346"},
    {0x1FB2D, "BLOCK SEXTANT-56"},
    {0x1FB2E, "BLOCK SEXTANT-156"},
    {0x1FB2F, "BLOCK SEXTANT-256"},
    {0x1FB30, "BLOCK SEXTANT-1256"},
    {0x1FB31, "BLOCK SEXTANT-356"},
    {0x1FB32, "BLOCK SEXTANT-1356"},
    {0x1FB33, "BLOCK SEXTANT-2356"},
    {0x1FB34, "BLOCK SEXTANT-12356"},
    {0x1FB35, "BLOCK SEXTANT-456"},
    {0x1FB36, "BLOCK SEXTANT-1456"},
    {0x1FB37, "BLOCK SEXTANT-2456"},
    {0x1FB38, "BLOCK SEXTANT-12456"},
    {0x1FB39, "BLOCK SEXTANT-3456"},
    {0x1FB3A, "BLOCK SEXTANT-13456"},
    {0x1FB3B, "BLOCK SEXTANT-23456"},
};

using Mask = std::array<std::uint8_t, 16>;

// The pixels of an 8x16 cell a character covers, read from its name alone.
Mask maskFromName(const std::string& name) {
    Mask m{};
    const auto fill = [&m](int x0, int y0, int x1, int y1) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) m[static_cast<std::size_t>(y)] |= static_cast<std::uint8_t>(1u << x);
    };
    const std::string sextant = "BLOCK SEXTANT-";
    if (name.rfind(sextant, 0) == 0) {
        // Cells numbered 1..6 left to right, top to bottom; rows of 5, 6 and 5 pixels.
        const int rowTop[] = {0, 5, 11, 16};
        for (char digit : name.substr(sextant.size())) {
            const int k = digit - '1';
            fill((k % 2) * 4, rowTop[k / 2], (k % 2) * 4 + 4, rowTop[k / 2 + 1]);
        }
        return m;
    }
    if (name.rfind("QUADRANT ", 0) == 0) {
        if (name.find("UPPER LEFT") != std::string::npos) fill(0, 0, 4, 8);
        if (name.find("UPPER RIGHT") != std::string::npos) fill(4, 0, 8, 8);
        if (name.find("LOWER LEFT") != std::string::npos) fill(0, 8, 4, 16);
        if (name.find("LOWER RIGHT") != std::string::npos) fill(4, 8, 8, 16);
        return m;
    }
    if (name == "FULL BLOCK") {
        fill(0, 0, 8, 16);
        return m;
    }
    const std::pair<const char*, int> fractions[] = {{" ONE EIGHTH ", 1},   {" ONE QUARTER ", 2},   {" THREE EIGHTHS ", 3},
                                                     {" HALF ", 4},         {" FIVE EIGHTHS ", 5},  {" THREE QUARTERS ", 6},
                                                     {" SEVEN EIGHTHS ", 7}};
    int eighths = 0;
    for (const auto& [words, value] : fractions)
        if (name.find(words) != std::string::npos) eighths = value;
    if (name.rfind("UPPER", 0) == 0) fill(0, 0, 8, 2 * eighths);
    else if (name.rfind("LOWER", 0) == 0) fill(0, 16 - 2 * eighths, 8, 16);
    else if (name.rfind("LEFT", 0) == 0) fill(0, 0, eighths, 16);
    else if (name.rfind("RIGHT", 0) == 0) fill(8 - eighths, 0, 8, 16);
    return m;
}

constexpr MosaicSymbols everySet = MosaicSymbols::half | MosaicSymbols::quad | MosaicSymbols::eighths |
                                   MosaicSymbols::sextant | MosaicSymbols::shade;

TEST(MosaicSymbols, EveryShapeIsDrawnAsItsUnicodeNameSays) {
    const std::vector<MosaicSymbol> all = mosaicSymbols(everySet);
    // Space, the full block, ▀ ▄ ▌ ▐, ten quadrants, twelve more eighths, 60 sextants, 3 shades.
    EXPECT_EQ(all.size(), 2u + 4u + 10u + 12u + 60u + 3u);
    int shapes = 0;
    for (const MosaicSymbol& s : all) {
        if (s.shade) {
            EXPECT_TRUE((s.code == U'\u2591' && s.ink == 0.25f) || (s.code == U'\u2592' && s.ink == 0.5f) ||
                        (s.code == U'\u2593' && s.ink == 0.75f));
            continue;
        }
        if (s.code == U' ') {
            EXPECT_EQ(s.mask, Mask{});
            continue;
        }
        const auto name = unicodeNames.find(s.code);
        ASSERT_NE(name, unicodeNames.end()) << std::hex << static_cast<unsigned>(s.code);
        EXPECT_EQ(s.mask, maskFromName(name->second)) << name->second;
        int ink = 0;
        for (std::uint8_t row : s.mask) ink += std::popcount(row);
        EXPECT_EQ(s.ink, static_cast<float>(ink) / 128.0f) << name->second;
        ++shapes;
    }
    EXPECT_EQ(shapes, static_cast<int>(unicodeNames.size()));
    // The sets: what each brings in.
    const auto codes = [](MosaicSymbols set) {
        std::string out;
        for (const MosaicSymbol& s : mosaicSymbols(set)) out += std::to_string(static_cast<unsigned>(s.code)) + " ";
        return out;
    };
    EXPECT_EQ(codes(MosaicSymbols::half), "32 9600 9604 9608 ");
    EXPECT_EQ(codes(defaultMosaicSymbols(ColourMode::ansi16, true)), "32 9600 9604 9608 9612 9616 9617 9618 9619 ");
    EXPECT_EQ(mosaicSymbols(MosaicSymbols::quad).size(), 2u + 4u + 10u);
    EXPECT_EQ(mosaicSymbols(MosaicSymbols::sextant).size(), 2u + 60u + 2u);
}

// A random cell: an edge between two colours at a random place and slope,
// with noise, or plain noise.
std::array<LinearRgb, 64> randomCell(std::mt19937& random) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::array<LinearRgb, 64> cell{};
    const LinearRgb a{unit(random), unit(random), unit(random)}, b{unit(random), unit(random), unit(random)};
    const float nx = unit(random) - 0.5f, ny = unit(random) - 0.5f, at = unit(random) * 8.0f - 4.0f;
    const bool noise = unit(random) < 0.25f;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const LinearRgb& c = (nx * static_cast<float>(x - 4) + ny * static_cast<float>(y - 4) < at) ? a : b;
            const auto jitter = [&](float v) { return std::min(1.0f, std::max(0.0f, v + (unit(random) - 0.5f) * 0.1f)); };
            cell[static_cast<std::size_t>(y * 8 + x)] =
                noise ? LinearRgb{unit(random), unit(random), unit(random)}
                      : LinearRgb{jitter(c.red), jitter(c.green), jitter(c.blue)};
        }
    }
    return cell;
}

// The least error of a cell over every symbol and every colour pair the
// mode allows: from a palette the search's own measure, and at truecolor
// the drawn error with each part's mean, the least-squares best.
float exhaustiveError(const MosaicSearch& search, const MosaicOptions& options, const std::array<LinearRgb, 64>& cell) {
    std::vector<std::uint32_t> colours;
    for (std::uint32_t i = options.mode == ColourMode::ansi16 ? 0 : 16; i < (options.mode == ColourMode::ansi16 ? 16u : 256u); ++i) {
        colours.push_back(i);
    }
    float best = 1e30f;
    for (const MosaicSymbol& s : search.symbols()) {
        if (options.mode == ColourMode::truecolor) {
            Vec3 sum[2] = {{0, 0, 0}, {0, 0, 0}};
            float count[2] = {0, 0};
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const int part = s.mask[static_cast<std::size_t>(y)] >> x & 1;
                    const LinearRgb& v = cell[static_cast<std::size_t>(y / 2 * 8 + x)];
                    sum[part] = {sum[part].x + v.red, sum[part].y + v.green, sum[part].z + v.blue};
                    count[part] += 1;
                }
            }
            const auto mean = [&](int p) {
                return count[p] > 0 ? Vec3{sum[p].x / count[p], sum[p].y / count[p], sum[p].z / count[p]} : Vec3{0, 0, 0};
            };
            best = std::min(best, search.drawnError(s, mean(1), mean(0), cell.data(), 8));
            continue;
        }
        // From a palette, what the search weighs; a shape in one colour is
        // the solid cell (space or the full block). The measure is a
        // quadratic in each channel's pair (f, b), channel by channel, so a
        // few of its values give it for every pair:
        //     c + sum over channels of A f^2 + B b^2 + C f b + D f + E b.
        const auto at = [&](Vec3 f, Vec3 b) { return double(search.judgedError(s, f, b, cell.data(), 8)); };
        const double c0 = at({0, 0, 0}, {0, 0, 0});
        std::array<std::array<double, 5>, 3> q{};
        for (int ch = 0; ch < 3; ++ch) {
            const auto unit = [ch](float v) {
                return Vec3{ch == 0 ? v : 0.0f, ch == 1 ? v : 0.0f, ch == 2 ? v : 0.0f};
            };
            const double fp = at(unit(1), {0, 0, 0}), fm = at(unit(-1), {0, 0, 0});
            const double bp = at({0, 0, 0}, unit(1)), bm = at({0, 0, 0}, unit(-1));
            auto& k = q[static_cast<std::size_t>(ch)];
            k[0] = (fp + fm) / 2 - c0;
            k[3] = (fp - fm) / 2;
            k[1] = (bp + bm) / 2 - c0;
            k[4] = (bp - bm) / 2;
            k[2] = at(unit(1), unit(1)) - c0 - k[0] - k[1] - k[3] - k[4];
        }
        const auto measure = [&](Vec3 f, Vec3 b) {
            const double fv[3] = {f.x, f.y, f.z}, bv[3] = {b.x, b.y, b.z};
            double e = c0;
            for (std::size_t ch = 0; ch < 3; ++ch) {
                const auto& k = q[ch];
                e += k[0] * fv[ch] * fv[ch] + k[1] * bv[ch] * bv[ch] + k[2] * fv[ch] * bv[ch] + k[3] * fv[ch] + k[4] * bv[ch];
            }
            return e;
        };
        // The fit is checked where it is used: on a few pairs.
        EXPECT_NEAR(measure(search.shown(colours[1]), search.shown(colours[7])),
                    at(search.shown(colours[1]), search.shown(colours[7])), 1e-3 * (1.0 + c0));
        const bool solid = s.code == U' ' || s.code == U'\u2588';
        for (std::uint32_t f : colours) {
            for (std::uint32_t b : colours) {
                if ((options.eightBackgrounds && b >= 8) || (f == b && !solid)) continue;
                best = std::min(best, static_cast<float>(measure(search.shown(f), search.shown(b))));
            }
        }
    }
    return best;
}

TEST(MosaicRenderer, ChoosesTheCellAnExhaustiveSearchFinds) {
    struct Case {
        ColourMode mode;
        bool eight;
        MosaicSymbols symbols;
        Palette palette;
        int cells;
    };
    const Case cases[] = {
        {ColourMode::truecolor, false, {}, vgaPalette(), 400},
        {ColourMode::truecolor, false, everySet, vgaPalette(), 400},
        {ColourMode::ansi256, false, {}, vgaPalette(), 80},
        {ColourMode::ansi256, false, MosaicSymbols::sextant, vgaPalette(), 20},
        {ColourMode::ansi16, false, {}, vgaPalette(), 300},
        {ColourMode::ansi16, false, {}, xtermPalette(), 300},
        {ColourMode::ansi16, true, {}, campbellPalette(), 300},
        {ColourMode::ansi16, true, everySet, vgaPalette(), 100},
    };
    std::mt19937 random(17);
    for (const Case& c : cases) {
        MosaicOptions options;
        options.mode = c.mode;
        options.eightBackgrounds = c.eight;
        options.symbols = c.symbols;
        options.palette = c.palette;
        options.diffuse = false;
        MosaicRenderer renderer(options);
        const MosaicSearch search(options);
        // The colours judged by are the ones the terminal shows.
        for (std::uint32_t i = 0; i < 16 && c.mode == ColourMode::ansi16; ++i) {
            const LinearRgb want = toLinear(c.palette.colours[i]);
            const Vec3 shown = search.shown(i);
            EXPECT_TRUE(shown.x == want.red && shown.y == want.green && shown.z == want.blue) << i;
        }
        for (int i = 0; i < c.cells; ++i) {
            std::array<LinearRgb, 64> cell = randomCell(random);
            MosaicCell out;
            ASSERT_TRUE(renderer.convert(cell.data(), 8, 1, 1, &out, 1));
            // At truecolor the colours are the means in linear light of the
            // symbol's two parts, pushed apart along their difference by one
            // share for all three channels, which keeps the cell's mean (a
            // colour pushed past black or white is held there). The shape is
            // chosen by least squares on each value x taken as x (2 - x),
            // which weighs dark steps up.
            if (c.mode == ColourMode::truecolor) {
                const Mask* mask = nullptr;
                for (const MosaicSymbol& s : search.symbols())
                    if (s.code == out.character) mask = &s.mask;
                ASSERT_NE(mask, nullptr);
                float sum[2][3] = {}, count[2] = {};
                for (int y = 0; y < 16; ++y) {
                    for (int x = 0; x < 8; ++x) {
                        const int part = (*mask)[static_cast<std::size_t>(y)] >> x & 1;
                        const LinearRgb& v = cell[static_cast<std::size_t>(y / 2 * 8 + x)];
                        const float values[3] = {v.red, v.green, v.blue};
                        for (int ch = 0; ch < 3; ++ch) sum[part][ch] += values[ch];
                        count[part] += 1;
                    }
                }
                const auto byte = [](std::uint32_t rgb, int ch) { return static_cast<std::uint8_t>(rgb >> (16 - 8 * ch)); };
                const auto channel = [&](std::uint32_t rgb, int ch) { return srgbToLinear(byte(rgb, ch)); };
                bool held = false;
                for (int ch = 0; ch < 3; ++ch) held = held || byte(out.foreground, ch) % 255 == 0 || byte(out.background, ch) % 255 == 0;
                if (count[0] > 0 && count[1] > 0 && !held) {
                    float mean[2][3], apart[3];
                    int widest = 0;
                    for (int ch = 0; ch < 3; ++ch) {
                        for (int part = 0; part < 2; ++part) mean[part][ch] = sum[part][ch] / count[part];
                        apart[ch] = mean[1][ch] - mean[0][ch];
                        if (std::fabs(apart[ch]) > std::fabs(apart[widest])) widest = ch;
                    }
                    // The share, read from the colour that moves the more.
                    const float inkShare = count[1] / 128.0f;
                    float push = 0;
                    if (std::fabs(apart[widest]) >= 0.05f) {
                        push = inkShare <= 0.5f ? (channel(out.foreground, widest) - mean[1][widest]) /
                                                      (apart[widest] * (1 - inkShare))
                                                : (mean[0][widest] - channel(out.background, widest)) /
                                                      (apart[widest] * inkShare);
                    }
                    for (int ch = 0; ch < 3; ++ch) {
                        EXPECT_NEAR(channel(out.foreground, ch), mean[1][ch] + push * apart[ch] * (1 - inkShare), 0.015f)
                            << "cell " << i << " channel " << ch;
                        EXPECT_NEAR(channel(out.background, ch), mean[0][ch] - push * apart[ch] * inkShare, 0.015f)
                            << "cell " << i << " channel " << ch;
                    }
                }
                for (LinearRgb& v : cell) v = {v.red * (2 - v.red), v.green * (2 - v.green), v.blue * (2 - v.blue)};
            }
            const MosaicSymbol* symbol = nullptr;
            for (const MosaicSymbol& s : search.symbols())
                if (s.code == out.character) symbol = &s;
            ASSERT_NE(symbol, nullptr) << "a character outside the set: " << static_cast<unsigned>(out.character);
            float chosen;
            if (c.mode == ColourMode::truecolor) {
                // The colours are pushed apart on purpose; the choice of shape is what is searched.
                // The best colours for the chosen shape: the means of its two parts.
                Vec3 sum[2] = {{0, 0, 0}, {0, 0, 0}};
                float count[2] = {0, 0};
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 8; ++x) {
                        const int part = symbol->mask[static_cast<std::size_t>(y)] >> x & 1;
                        const LinearRgb& v = cell[static_cast<std::size_t>(y / 2 * 8 + x)];
                        sum[part] = {sum[part].x + v.red, sum[part].y + v.green, sum[part].z + v.blue};
                        count[part] += 1;
                    }
                const auto mean = [&](int p) {
                    return count[p] > 0 ? Vec3{sum[p].x / count[p], sum[p].y / count[p], sum[p].z / count[p]}
                                        : Vec3{0, 0, 0};
                };
                chosen = search.drawnError(*symbol, mean(1), mean(0), cell.data(), 8);
            } else {
                if (c.eight) {
                    EXPECT_LT(out.background, 8u);
                }
                chosen = search.judgedError(*symbol, search.shown(out.foreground), search.shown(out.background),
                                            cell.data(), 8);
            }
            const float best = exhaustiveError(search, options, cell);
            EXPECT_NEAR(chosen, best, 1e-4f * (1.0f + best)) << "case mode " << static_cast<int>(c.mode) << " cell " << i;
        }
    }
}

TEST(MosaicRenderer, RefusesWhatDoesNotFitAndWritesNothing) {
    MosaicRenderer renderer({});
    std::vector<LinearRgb> samples(16 * 8, LinearRgb{0.5f, 0.5f, 0.5f});
    MosaicCell cells[2] = {{U'x', 1, 2}, {U'x', 1, 2}};
    EXPECT_FALSE(renderer.convert(samples.data(), 15, 2, 1, cells, 2));   // stride under two cells
    EXPECT_FALSE(renderer.convert(samples.data(), 16, 2, 1, cells, 1));   // cell stride under the columns
    EXPECT_FALSE(renderer.convert(nullptr, 16, 2, 1, cells, 2));
    EXPECT_FALSE(renderer.convert(samples.data(), 16, 0, 1, cells, 2));
    EXPECT_EQ(cells[0], (MosaicCell{U'x', 1, 2}));
    EXPECT_TRUE(renderer.convert(samples.data(), 16, 2, 1, cells, 2));
    EXPECT_EQ(cells[1].character, U' ');
    EXPECT_EQ(cells[1].background, 0xBCBCBCu);  // linear 0.5 is sRGB 188
}

// One cell's error, decided through a recording decider on a 3x3 grid of
// grey samples: the decider shows every cell as wanted but one, which it
// shows `error` short. Returns the wanted samples each cell was decided on,
// and the order the cells were decided in.
struct Recording {
    std::vector<std::pair<int, int>> order;
    std::map<std::pair<int, int>, std::array<LinearRgb, 64>> wanted;
};

Recording decideWithError(int errorColumn, int errorRow, const std::array<float, 64>& error, float carried) {
    constexpr int columns = 3, rows = 3;
    std::vector<LinearRgb> samples(columns * 8 * rows * 8, LinearRgb{0.5f, 0.5f, 0.5f});
    MosaicDiffusion diffusion(carried);
    diffusion.reserve(columns);
    Recording r;
    diffusion.run(samples.data(), columns * 8, columns, rows, [&](int c, int row, const LinearRgb* wanted, LinearRgb* shown) {
        r.order.emplace_back(c, row);
        std::array<LinearRgb, 64> w;
        for (std::size_t k = 0; k < 64; ++k) w[k] = wanted[k];
        r.wanted[{c, row}] = w;
        for (std::size_t k = 0; k < 64; ++k) {
            const float e = (c == errorColumn && row == errorRow) ? error[k] : 0.0f;
            shown[k] = {wanted[k].red - e, wanted[k].green - e * 0.5f, wanted[k].blue};
        }
    });
    return r;
}

TEST(MosaicDiffusion, CarriesEachShareToItsNeighbourInSerpentineOrder) {
    std::array<float, 64> error;
    for (int k = 0; k < 64; ++k) error[static_cast<std::size_t>(k)] = 0.001f * static_cast<float>((k * 37) % 23) - 0.01f;
    const float carried = 0.5f;
    std::array<float, 8> rowSum{}, columnSum{};
    float total = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const float e = error[static_cast<std::size_t>(y * 8 + x)];
            rowSum[static_cast<std::size_t>(y)] += e;
            columnSum[static_cast<std::size_t>(x)] += e;
            total += e;
        }
    // What each sample of a neighbour should receive, in red (green gets half).
    const auto ahead = [&](int, int y) { return carried * 7.0f / 16.0f * rowSum[static_cast<std::size_t>(y)] / 8.0f; };
    const auto below = [&](int x, int) { return carried * 5.0f / 16.0f * columnSum[static_cast<std::size_t>(x)] / 8.0f; };
    const auto belowBehind = [&](int, int) { return carried * 3.0f / 16.0f * total / 64.0f; };
    const auto belowAhead = [&](int, int) { return carried * 1.0f / 16.0f * total / 64.0f; };
    using Share = std::function<float(int, int)>;

    // An error in the middle of the first row (decided left to right), and in
    // the middle of the second (right to left: ahead is the left).
    struct Case {
        int column, row;
        std::map<std::pair<int, int>, Share> receives;
    };
    const Case cases[] = {
        {1, 0, {{{2, 0}, ahead}, {{1, 1}, below}, {{0, 1}, belowBehind}, {{2, 1}, belowAhead}}},
        {1, 1, {{{0, 1}, ahead}, {{1, 2}, below}, {{2, 2}, belowBehind}, {{0, 2}, belowAhead}}},
    };
    for (const Case& c : cases) {
        const Recording r = decideWithError(c.column, c.row, error, carried);
        const std::vector<std::pair<int, int>> serpentine = {{0, 0}, {1, 0}, {2, 0}, {2, 1}, {1, 1},
                                                             {0, 1}, {0, 2}, {1, 2}, {2, 2}};
        EXPECT_EQ(r.order, serpentine);
        for (const auto& [where, wanted] : r.wanted) {
            const auto share = c.receives.find(where);
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    const float expected = share == c.receives.end() ? 0.0f : share->second(x, y);
                    const LinearRgb& w = wanted[static_cast<std::size_t>(y * 8 + x)];
                    ASSERT_NEAR(w.red - 0.5f, expected, 1e-6f) << where.first << "," << where.second << " " << x << "," << y;
                    ASSERT_NEAR(w.green - 0.5f, expected * 0.5f, 1e-6f);
                    ASSERT_EQ(w.blue, 0.5f);
                }
            }
        }
    }
}

TEST(MosaicSearch, EncodesLinearLightAsLinearToSrgbDoes) {
    const MosaicSearch search({});
    std::mt19937 random(3);
    std::uniform_real_distribution<float> unit(-0.01f, 1.01f);
    for (int i = 0; i < 200000; ++i) {
        const float v = unit(random);
        ASSERT_EQ(search.encode(v), linearToSrgb(v)) << v;
    }
    for (int b = 0; b < 256; ++b) {
        // Around every byte's edges, to the last bit.
        for (float v : {srgbToLinear(static_cast<std::uint8_t>(b))}) {
            float lo = v, hi = v;
            for (int k = 0; k < 3000; ++k) {
                lo = std::nextafter(lo, 0.0f);
                hi = std::nextafter(hi, 2.0f);
                ASSERT_EQ(search.encode(lo), linearToSrgb(lo));
                ASSERT_EQ(search.encode(hi), linearToSrgb(hi));
            }
        }
    }
}

}  // namespace

// The vector paths against the scalar one, cell for cell, bit for bit: rows
// of cells (a count that leaves cells over for the scalar path) of random
// samples, of one colour, and of two levels (where divisions tie), in every
// mode and symbol set.
TEST(MosaicSearch, VectorPathsChooseTheScalarCells) {
    constexpr int count = 45;
    constexpr int stride = count * 8 + 3;
    std::mt19937 random(17);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<LinearRgb> samples(static_cast<std::size_t>(stride) * 8);
    const auto fill = [&](int round) {
        for (int c = 0; c < count; ++c) {
            const int kind = (round + c) % 4;
            const LinearRgb a{unit(random), unit(random), unit(random)}, b{unit(random), unit(random), unit(random)};
            const unsigned edge = random();
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    LinearRgb& s = samples[static_cast<std::size_t>(y * stride + c * 8 + x)];
                    if (kind == 0) s = {unit(random), unit(random), unit(random)};
                    else if (kind == 1) s = a;
                    else if (kind == 2) s = ((edge >> (y * 8 + x) % 32) & 1) != 0 ? a : b;
                    else s = (edge % 3 == 0 ? y * 8 < static_cast<int>(edge % 64) : x < static_cast<int>(edge % 8)) ? a : b;
                }
            }
        }
    };
    const MosaicSymbols sets[] = {MosaicSymbols{},       MosaicSymbols::half,    MosaicSymbols::quad,
                                  MosaicSymbols::eighths, MosaicSymbols::sextant, everySet};
    int compared = 0;
    for (int round = 0; round < 40; ++round) {
        fill(round);
        for (ColourMode mode : {ColourMode::truecolor, ColourMode::ansi256, ColourMode::ansi16}) {
            for (MosaicSymbols set : sets) {
                MosaicSearch search({.mode = mode, .symbols = set});
                std::vector<MosaicCell> scalar(count), vector(count);
                for (int c = 0; c < count; ++c) scalar[static_cast<std::size_t>(c)] = search.choose(&samples[static_cast<std::size_t>(c * 8)], stride).cell;
                for (MosaicVectors v : {MosaicVectors::none, MosaicVectors::sse2, MosaicVectors::avx2}) {
                    if (static_cast<int>(v) > static_cast<int>(MosaicSearch::bestVectors())) continue;
                    search.setVectors(v);
                    search.chooseRow(samples.data(), stride, count, vector.data());
                    for (int c = 0; c < count; ++c) {
                        const MosaicCell& s = scalar[static_cast<std::size_t>(c)];
                        const MosaicCell& w = vector[static_cast<std::size_t>(c)];
                        ASSERT_TRUE(s == w) << "round " << round << " mode " << static_cast<int>(mode) << " set "
                                            << static_cast<unsigned>(set) << " vectors " << static_cast<int>(v)
                                            << " cell " << c << ": " << static_cast<std::uint32_t>(s.character) << " "
                                            << s.foreground << " " << s.background << " against "
                                            << static_cast<std::uint32_t>(w.character) << " " << w.foreground << " "
                                            << w.background;
                    }
                    compared += v != MosaicVectors::none;
                }
            }
        }
    }
    // Say when this processor had no vector path to compare.
    if (compared == 0) GTEST_SKIP() << "no vector instructions to compare on this processor";
}
