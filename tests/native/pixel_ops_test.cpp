#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "errors.h"
#include "pages/edit/black_border.h"
#include "pages/edit/crop.h"
#include "pages/edit/pixel_mask.h"
#include "pages/edit/resample.h"
#include "pages/edit/retouch.h"
#include "pages/edit/rotate.h"
#include "pages/edit/watermark.h"

namespace orvix {
namespace {

constexpr Rgb kBg{1, 2, 3};
constexpr Rgb kBlack{0, 0, 0};

// Letters stand for distinct colours, so pixel tables read as pictures.
Rgb letter(char c) { return {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c * 3), 7}; }

Image fromRows(const std::vector<std::string>& rows) {
    Image image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, letter(rows[y][x]));
    return image;
}

Image noise(int width, int height, unsigned seed) {
    std::mt19937 rng(seed);
    Image image(width, height);
    for (std::size_t i = 0; i < image.byteSize(); ++i) image.data()[i] = static_cast<std::uint8_t>(rng());
    return image;
}

std::vector<std::string> maskRows(const PixelMask& mask) {
    std::vector<std::string> rows;
    for (int y = 0; y < mask.height(); ++y) {
        std::string row;
        for (int x = 0; x < mask.width(); ++x) row += mask.test(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(Rotate, QuarterTurnsMovePixelsExactly) {
    const Image source = fromRows({"ABC",
                                   "DEF"});
    struct Case { double degrees; std::vector<std::string> rows; };
    const Case cases[] = {
        // Anticlockwise: the top-right corner comes to the top left.
        {90, {"CF", "BE", "AD"}},
        {180, {"FED", "CBA"}},
        {270, {"DA", "EB", "FC"}},
        {-90, {"DA", "EB", "FC"}},
        {450, {"CF", "BE", "AD"}},
        {-270, {"CF", "BE", "AD"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        EXPECT_EQ(rotate(source, c.degrees, kBg), fromRows(c.rows));
    }
}

TEST(Rotate, WholeTurnsAndRoundTripsGiveTheStartingImage) {
    const Image source = noise(7, 5, 1);
    for (double whole : {0.0, 360.0, -720.0, 1080.0}) EXPECT_EQ(rotate(source, whole, kBg), source) << whole;
    EXPECT_EQ(rotate(rotate(source, 270, kBg), 90, kBg), source);
    EXPECT_EQ(rotate(rotate(source, 90, kBg), 270, kBg), source);
    Image turned = source;
    for (int i = 0; i < 4; ++i) turned = rotate(turned, 270, kBg);
    EXPECT_EQ(turned, source);
}

TEST(Rotate, SizeOfAnyAngle) {
    struct Case { int w, h; double degrees; int expectW, expectH; };
    const Case cases[] = {
        {100, 50, 30, 112, 93},   {100, 50, -30, 112, 93},  {100, 50, 150, 112, 93},
        {100, 50, 45, 106, 106},  {100, 50, 135, 106, 106}, {10, 10, 60, 14, 14},
        {2592, 1944, 30, 3217, 2980}, {1, 1, 45, 1, 1},     {100, 50, 0.5, 100, 51},
        {3, 2, 10, 3, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " by " << c.degrees);
        const Image out = rotate(Image(c.w, c.h), c.degrees, kBg);
        EXPECT_EQ(out.width(), c.expectW);
        EXPECT_EQ(out.height(), c.expectH);
    }
}

TEST(Rotate, AnyAngleTurnsAnticlockwiseAboutTheCentreAndFillsTheCorners) {
    // A red block right of the centre of a white square.
    Image source(41, 41, Rgb{255, 255, 255});
    for (int y = 19; y <= 21; ++y)
        for (int x = 34; x <= 38; ++x) source.setPixel(x, y, Rgb{255, 0, 0});

    const Image out = rotate(source, 30, kBg);
    const double cx = out.width() / 2.0, cy = out.height() / 2.0;
    int red = 0;
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            if (out.pixel(x, y) != Rgb{255, 0, 0}) continue;
            ++red;
            // Anticlockwise on screen: up and still to the right.
            EXPECT_LT(y + 0.5, cy);
            EXPECT_GT(x + 0.5, cx);
            const double angle = std::atan2(cy - (y + 0.5), x + 0.5 - cx) * 180 / 3.14159265358979;
            EXPECT_NEAR(angle, 30, 8);
        }
    }
    EXPECT_GT(red, 8);
    EXPECT_EQ(out.pixel(out.width() / 2, out.height() / 2), Rgb({255, 255, 255}));
    for (auto [x, y] : {std::pair{0, 0}, {out.width() - 1, 0}, {0, out.height() - 1}, {out.width() - 1, out.height() - 1}})
        EXPECT_EQ(out.pixel(x, y), kBg);
}

TEST(Rotate, AHairOffAQuarterTurnPicksTheSamePixels) {
    // Nearest source pixel under the destination centre: tiny errors in the
    // angle must not shift whole columns.
    const Image source = noise(9, 6, 2);
    EXPECT_EQ(rotate(source, 90 - 1e-9, kBg), rotate(source, 90, kBg));
    EXPECT_EQ(rotate(source, 270 + 1e-9, kBg), rotate(source, 270, kBg));
}

TEST(Rotate, RefusesAnglesThatAreNotNumbers) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()})
        EXPECT_THROW(rotate(Image(3, 3), bad, kBg), Error);
    EXPECT_TRUE(rotate(Image(), 30, kBg).empty());
}

TEST(Resample, NearestPixelByTheTruncatedRatio) {
    struct Case { std::string source; int width; std::string expected; };
    const Case cases[] = {
        {"ABCD", 2, "AC"},
        {"ABC", 7, "AAABBCC"},
        {"ABCDE", 3, "ABD"},
        {"ABCDEFG", 3, "ACE"},
        {"ABCD", 4, "ABCD"},
        {"ABC", 0, "ABC"},  // 0 keeps the side
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " to " + std::to_string(c.width));
        EXPECT_EQ(resampleNearest(fromRows({c.source}), c.width, 1), fromRows({c.expected}));
    }
    // Rows follow the same rule.
    EXPECT_EQ(resampleNearest(fromRows({"A", "B", "C", "D", "E"}), 1, 3), fromRows({"A", "B", "D"}));
    const Image tall = resampleNearest(Image(4, 3), 0, 6);
    EXPECT_EQ(tall.width(), 4);
    EXPECT_EQ(tall.height(), 6);
    EXPECT_THROW(resampleNearest(Image(4, 3), -1, 2), Error);
    EXPECT_TRUE(resampleNearest(Image(), 5, 5).empty());
}

TEST(Resample, MaskFollowsThePictureMapping) {
    const Image picture = fromRows({"ABCDEFG"});
    PixelMask mask(7, 1);
    mask.set(4, 0);  // 'E'
    const PixelMask small = resampleNearest(mask, 3, 1);
    const Image resized = resampleNearest(picture, 3, 1);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(small.test(x, 0), resized.pixel(x, 0) == letter('E')) << x;
}

TEST(CastToColor, TwoLevelsAroundGray226) {
    constexpr Rgb kRed{255, 0, 0};
    struct Case { Rgb in; bool white; };
    const Case cases[] = {
        {{255, 255, 255}, true}, {{226, 226, 226}, true}, {{225, 225, 225}, false},
        {{209, 231, 230}, true},   // gray 226
        {{205, 231, 230}, false},  // gray 225
        {{255, 255, 0}, true},     // yellow is light: gray 234
        {{0, 255, 255}, false},    {{0, 0, 0}, false}, {{255, 0, 0}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.in.r) << "," << int(c.in.g) << "," << int(c.in.b));
        EXPECT_EQ(castToColor(Image(1, 1, c.in), kRed).pixel(0, 0), c.white ? kWhite : kRed);
    }
}

TEST(CastToColor, OnlyTheSelectedPixelsChange) {
    const Image source(4, 3, Rgb{10, 10, 10});
    const PixelMask selection = PixelMask::rectangle(4, 3, 1, 1, 3, 2);
    const Image out = castToColor(source, selection, Rgb{0, 255, 0});
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(out.pixel(x, y), selection.test(x, y) ? Rgb({0, 255, 0}) : Rgb({10, 10, 10})) << x << "," << y;
    EXPECT_THROW(castToColor(source, PixelMask(3, 3), Rgb{}), Error);
}

TEST(FillSelection, WhitensExactlyTheSelection) {
    const PixelMask selection = PixelMask::polygon(6, 6, std::vector<PixelPoint>{{0, 0}, {5, 0}, {0, 5}});
    const Image out = fillSelection(Image(6, 6, kBlack), selection, kWhite);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(out.pixel(x, y), x + y <= 5 ? kWhite : kBlack) << x << "," << y;
}

TEST(BlackBorder, KeepsTheRectangleOfThe850By1100Page) {
    EXPECT_EQ(blackBorderKeep(850, 1100), (PixelRect{40, 33, 812, 1064}));
    const Image out = removeBlackBorder(Image(850, 1100, kBlack));
    struct Probe { int x, y; bool white; };
    const Probe probes[] = {
        {39, 500, true},  {40, 500, false}, {811, 500, false}, {812, 500, true},
        {400, 32, true},  {400, 33, false}, {400, 1063, false}, {400, 1064, true},
        {0, 0, true},     {849, 1099, true}, {40, 33, false},  {811, 1063, false},
    };
    for (const auto& p : probes) EXPECT_EQ(out.pixel(p.x, p.y), p.white ? kWhite : kBlack) << p.x << "," << p.y;
    int black = 0;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) black += out.pixel(x, y) == kBlack;
    EXPECT_EQ(black, (812 - 40) * (1064 - 33));
}

TEST(BlackBorder, APixelWideOrHighImageTurnsWhiteAltogether) {
    for (auto [w, h] : {std::pair{1, 40}, {40, 1}, {1, 1}}) {
        const Image out = removeBlackBorder(Image(w, h, kBlack));
        EXPECT_EQ(out, Image(w, h, kWhite)) << w << "x" << h;
    }
}

TEST(PixelMask, RectangleTakesTheCornerButNotTheFarColumnAndRow) {
    struct Case { const char* name; int x1, y1, x2, y2; std::vector<std::string> rows; };
    const Case cases[] = {
        {"drawn down-right", 1, 1, 4, 3, {".....", ".###.", ".###.", "....."}},
        {"drawn up-left", 4, 3, 1, 1, {".....", ".###.", ".###.", "....."}},
        {"no width", 2, 0, 2, 4, {".....", ".....", ".....", "....."}},
        {"beyond the image", -3, 2, 9, 9, {".....", ".....", "#####", "#####"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(maskRows(PixelMask::rectangle(5, 4, c.x1, c.y1, c.x2, c.y2)), c.rows);
    }
}

TEST(PixelMask, PolygonTakesCentresInsideByEvenOddPlusItsOutline) {
    // The outline itself is in: a right triangle is x + y <= 6 exactly.
    const PixelMask triangle = PixelMask::polygon(9, 9, std::vector<PixelPoint>{{0, 0}, {6, 0}, {0, 6}});
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(triangle.test(x, y), x + y <= 6) << x << "," << y;

    // A slanted edge: pixels it passes through are in, centres beside it
    // outside the shape are not.
    EXPECT_EQ(maskRows(PixelMask::polygon(7, 4, std::vector<PixelPoint>{{0, 0}, {6, 3}, {0, 3}})),
              (std::vector<std::string>{"#......", "###....", "#####..", "#######"}));

    // Even-odd: where a self-crossing outline overlaps itself the pixels are
    // out again. Two squares drawn in one stroke overlap in 4..6 x 4..6.
    const std::vector<PixelPoint> twoSquares{{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 4}, {10, 4}, {10, 10}, {4, 10}, {4, 6}, {0, 6}};
    const PixelMask overlap = PixelMask::polygon(12, 12, twoSquares);
    EXPECT_TRUE(overlap.test(2, 2));
    EXPECT_TRUE(overlap.test(8, 8));
    EXPECT_FALSE(overlap.test(5, 5));
    EXPECT_FALSE(overlap.test(2, 8));
}

TEST(PixelMask, DegeneratePolygonsAndFarVertices) {
    EXPECT_FALSE(PixelMask::polygon(5, 5, std::vector<PixelPoint>{}).any());
    EXPECT_EQ(PixelMask::polygon(5, 5, std::vector<PixelPoint>{{2, 3}}).count(), 1u);
    EXPECT_EQ(maskRows(PixelMask::polygon(5, 2, std::vector<PixelPoint>{{0, 1}, {4, 1}})),
              (std::vector<std::string>{".....", "#####"}));
    // Vertices far outside must neither crash nor wrap around.
    const int big = std::numeric_limits<int>::max();
    const PixelMask all = PixelMask::polygon(4, 4, std::vector<PixelPoint>{{-big, -big}, {big, -big}, {big, big}, {-big, big}});
    EXPECT_EQ(all.count(), 16u);
}

TEST(PixelMask, BoundsAndInversion) {
    PixelMask mask(6, 5);
    EXPECT_EQ(mask.bounds(), std::nullopt);
    mask.set(4, 1);
    mask.set(1, 3);
    EXPECT_EQ(mask.bounds(), (PixelRect{1, 1, 5, 4}));
    EXPECT_EQ(mask.inverted().count(), 28u);
    EXPECT_EQ(mask.inverted().inverted(), mask);
}

TEST(Crop, BoundingBoxWithBackgroundOutsideAFreeFormSelection) {
    const Image source = fromRows({"ABCDE",
                                   "FGHIJ",
                                   "KLMNO",
                                   "PQRST"});
    const Image rect = cropToSelection(source, PixelMask::rectangle(5, 4, 1, 1, 4, 3), kBg);
    EXPECT_EQ(rect, fromRows({"GHI", "LMN"}));

    // Triangle with corners at G, I and Q.
    const Image tri = cropToSelection(source, PixelMask::polygon(5, 4, std::vector<PixelPoint>{{1, 1}, {3, 1}, {1, 3}}), kBg);
    ASSERT_EQ(tri.width(), 3);
    ASSERT_EQ(tri.height(), 3);
    const char* expected[] = {"GHI", "LM.", "Q.."};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(tri.pixel(x, y), expected[y][x] == '.' ? kBg : letter(expected[y][x])) << x << "," << y;

    EXPECT_THROW(cropToSelection(source, PixelMask(5, 4), kBg), Error);
    EXPECT_THROW(cropToSelection(source, PixelMask(4, 4, true), kBg), Error);
}

TEST(Watermark, NearWhiteBecomesTransparent) {
    struct Case { Rgb c; bool transparent; };
    const Case cases[] = {
        {{255, 255, 255}, true}, {{250, 250, 250}, true}, {{252, 255, 250}, true},
        {{249, 255, 255}, false}, {{255, 249, 255}, false}, {{255, 255, 249}, false}, {{0, 0, 0}, false},
    };
    Image picture(static_cast<int>(std::size(cases)), 1);
    for (int i = 0; i < picture.width(); ++i) picture.setPixel(i, 0, cases[i].c);
    const PixelMask clear = watermarkTransparency(picture);
    for (int i = 0; i < picture.width(); ++i) EXPECT_EQ(clear.test(i, 0), cases[i].transparent) << i;
}

TEST(Watermark, SizeRules) {
    constexpr int kMax = std::numeric_limits<int>::max();
    struct Case { const char* name; int width, height; std::optional<PixelSize> expected; };
    const Case cases[] = {
        {"as asked", 100, 50, PixelSize{100, 50}},
        {"0 keeps the width", 0, 50, PixelSize{200, 50}},
        {"0 keeps the height", 100, 0, PixelSize{100, 100}},
        {"0 and 0", 0, 0, PixelSize{200, 100}},
        {"-1 width from the height", -1, 50, PixelSize{100, 50}},
        {"-1 height from the width", 100, -1, PixelSize{100, 50}},
        {"-1 height from a kept width", 0, -1, PixelSize{200, 100}},
        {"odd width rounds the derived height", 3, -1, PixelSize{3, 2}},
        {"derived below 1 becomes 1", 1, -1, PixelSize{1, 1}},
        {"other negatives count as positive", -100, 50, PixelSize{100, 50}},
        {"negative width, derived height", -30, 60, PixelSize{30, 60}},
        {"most negative int", std::numeric_limits<int>::min(), 5, PixelSize{kMax, 5}},
        {"both -1", -1, -1, std::nullopt},
        {"both negative", -5, -5, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(watermarkSize({200, 100}, c.width, c.height), c.expected);
    }
    EXPECT_EQ(watermarkSize({0, 0}, 10, 10), std::nullopt);
}

TEST(Watermark, StampIsCutAtThePageEdges) {
    const Image page = noise(10, 8, 3);
    const Image picture = noise(4, 3, 4);
    constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
    const std::pair<int, int> places[] = {{2, 3}, {0, 0}, {-2, -1}, {8, 6}, {6, 0}, {10, 0}, {0, 8}, {-4, 0}, {kMax, kMin}, {kMin, kMax}};
    for (auto [px, py] : places) {
        SCOPED_TRACE(testing::Message() << "at " << px << "," << py);
        const Image out = stampPicture(page, picture, px, py);
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const long long sx = static_cast<long long>(x) - px, sy = static_cast<long long>(y) - py;
                const bool covered = sx >= 0 && sy >= 0 && sx < picture.width() && sy < picture.height();
                const Rgb want = covered ? picture.pixel(static_cast<int>(sx), static_cast<int>(sy)) : page.pixel(x, y);
                ASSERT_EQ(out.pixel(x, y), want) << x << "," << y;
            }
        }
    }
}

TEST(Watermark, TransparentPixelsLeaveThePageAlone) {
    const Image page(4, 1, Rgb{0, 0, 200});
    const Image picture = [] {
        Image p(4, 1);
        p.setPixel(0, 0, {255, 255, 255});
        p.setPixel(1, 0, {250, 251, 252});
        p.setPixel(2, 0, {249, 250, 250});
        p.setPixel(3, 0, {0, 0, 0});
        return p;
    }();
    const Image out = stampPicture(page, picture, watermarkTransparency(picture), 0, 0);
    EXPECT_EQ(out.pixel(0, 0), Rgb({0, 0, 200}));
    EXPECT_EQ(out.pixel(1, 0), Rgb({0, 0, 200}));
    EXPECT_EQ(out.pixel(2, 0), Rgb({249, 250, 250}));
    EXPECT_EQ(out.pixel(3, 0), Rgb({0, 0, 0}));
    EXPECT_THROW(stampPicture(page, picture, PixelMask(2, 1), 0, 0), Error);
}

}  // namespace
}  // namespace orvix
