// The compass on pic1, drawn on the headless raster: 15 twips per pixel and a 1-pixel border give
// an inner area of 1425 x 1485 twips (95 x 99 pixels).
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "base/color.h"
#include "compass/compass.h"
#include "compass/needle_geometry.h"
#include "form_fixture.h"

namespace {

using Image = std::vector<base::Color>;

struct Pixel {
    int x = 0, y = 0;
};

class CompassTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Start();
        startImage = Snapshot();
    }

    void Draw(float heading) {
        DrawCompass(form->pic1, heading, form->CompassX, form->CompassY, form->CompassRadius);
    }

    Image Snapshot() {
        Image image;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) image.push_back(At({x, y}));
        return image;
    }

    base::Color At(Pixel p) { return headless::Pixel(form->pic1, p.x, p.y); }
    int Width() { return headless::ImageWidth(form->pic1); }
    int Height() { return headless::ImageHeight(form->pic1); }

    compass::NeedleShape ShapeFor(float heading) {
        return compass::NeedleShapeAt(*compass::NeedleDirection(heading), form->CompassX,
                                      form->CompassY, form->CompassRadius);
    }
    static Pixel ToPixel(const compass::Point& p) {
        return {static_cast<int>(std::lround(p.x / 15)), static_cast<int>(std::lround(p.y / 15))};
    }

    std::vector<Pixel> RedPixels() {
        std::vector<Pixel> red;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (At({x, y}) == base::kLightRed) red.push_back({x, y});
        return red;
    }

    // Separate red shapes on the picture, touching diagonally counting as one.
    int RedBlobs() {
        std::vector<bool> seen(static_cast<std::size_t>(Width() * Height()), false);
        int blobs = 0;
        for (const Pixel& start : RedPixels()) {
            if (seen[Index(start)]) continue;
            ++blobs;
            std::vector<Pixel> stack{start};
            seen[Index(start)] = true;
            while (!stack.empty()) {
                const Pixel p = stack.back();
                stack.pop_back();
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const Pixel q{p.x + dx, p.y + dy};
                        if (At(q) != base::kLightRed || seen[Index(q)]) continue;
                        seen[Index(q)] = true;
                        stack.push_back(q);
                    }
            }
        }
        return blobs;
    }
    std::size_t Index(Pixel p) { return static_cast<std::size_t>(p.y * Width() + p.x); }

    // Pixels that differ from the start-up picture other than by being pointer red.
    int ChangedBesidesPointer() {
        const Image now = Snapshot();
        int changed = 0;
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now[i] != startImage[i] && now[i] != base::kLightRed) ++changed;
        return changed;
    }

    Image startImage;
};

TEST_F(CompassTest, StartUpDrawsDiscAndLettersWithoutPointer) {
    EXPECT_FLOAT_EQ(form->CompassX, 712.5f);
    EXPECT_FLOAT_EQ(form->CompassY, 742.5f);
    EXPECT_FLOAT_EQ(form->CompassRadius, 463.125f);
    EXPECT_EQ(Width(), 95);
    EXPECT_EQ(Height(), 99);

    EXPECT_EQ(At({47, 49}), base::kLightCyan);  // centre
    EXPECT_EQ(At({47, 19}), base::kBlue);       // outline, 30.9 pixels above the centre
    EXPECT_TRUE(RedPixels().empty());
    EXPECT_EQ(TraceIndex("Picture.pic1.ExtFloodFill"), -1);

    // Cells of the headless font (7 x 13 pixels, outlined one pixel in), top-left corners.
    const struct {
        const char* letter;
        Pixel cell;
    } letters[] = {{"W", {3, 43}},    // 3 pixels from the left, centred on the circle's axis
                   {"E", {82, 43}},   // 6 pixels from the right: 95 - 7 - 6
                   {"N", {44, 5}},    // 5 pixels from the top, centred on 47.5
                   {"S", {44, 81}}};  // 5 pixels from the bottom: 99 - 13 - 5
    for (const auto& [letter, cell] : letters) {
        SCOPED_TRACE(letter);
        EXPECT_EQ(At({cell.x + 1, cell.y + 1}), base::kBlue);
        EXPECT_EQ(At({cell.x + 5, cell.y + 11}), base::kBlue);
        EXPECT_NE(At({cell.x + 3, cell.y + 6}), base::kBlue);  // the cell's middle
        EXPECT_NE(At({cell.x + 6, cell.y + 12}), base::kBlue);
    }
}

TEST_F(CompassTest, WorkedExampleGeometryAndSeedPixel) {
    const struct {
        float heading;
        compass::Point tip, corner1, corner2;
    } cases[] = {{0, {712.5, 344.4}, {807.7, 629.0}, {617.3, 629.0}},
                 {90, {1110.6, 742.5}, {826.0, 837.7}, {826.0, 647.3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        const compass::NeedleShape shape = ShapeFor(c.heading);
        for (const auto& [got, want] :
             {std::pair{shape.tip, c.tip}, std::pair{shape.corner1, c.corner1},
              std::pair{shape.corner2, c.corner2}}) {
            EXPECT_NEAR(got.x, want.x, 0.05);
            EXPECT_NEAR(got.y, want.y, 0.05);
        }
    }

    // The seed is at x 712.5 twips, pixel 47.5, which goes to the even 48.
    headless::ClearTrace();
    Draw(0);
    EXPECT_EQ(TraceCount("Picture.pic1.ExtFloodFill 48 30"), 1);
    EXPECT_EQ(TraceCount("Picture.pic1.ExtFloodFill"), 1);
}

TEST_F(CompassTest, PointerIsSolidRedInItsQuadrantAndGoneAtTheNextHeading) {
    const struct {
        float heading;
        int dx, dy;  // where the pointer lies from the centre
    } cases[] = {{0, 0, -1}, {90, 1, 0}, {180, 0, 1}, {270, -1, 0}};
    const double cx = form->CompassX / 15, cy = form->CompassY / 15;
    const double radius = form->CompassRadius / 15;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.heading);
        Draw(c.heading);
        const compass::NeedleShape shape = ShapeFor(c.heading);
        const Pixel seed = ToPixel(shape.seed);
        const Pixel middle = ToPixel({(shape.tip.x + shape.corner1.x + shape.corner2.x) / 3,
                                      (shape.tip.y + shape.corner1.y + shape.corner2.y) / 3});
        EXPECT_EQ(At(seed), base::kLightRed);
        EXPECT_EQ(At(middle), base::kLightRed);
        EXPECT_EQ(RedBlobs(), 1);

        double sumX = 0, sumY = 0;
        const std::vector<Pixel> red = RedPixels();
        for (const Pixel& p : red) {
            sumX += p.x - cx;
            sumY += p.y - cy;
            EXPECT_LT(std::hypot(p.x - cx, p.y - cy), radius - 1);  // inside the outline
        }
        const double meanX = sumX / red.size(), meanY = sumY / red.size();
        EXPECT_GT(meanX * c.dx + meanY * c.dy, 8);            // well along the heading
        EXPECT_LT(std::abs(meanX * c.dy - meanY * c.dx), 1);  // and on its axis

        Draw(c.heading + 135);
        EXPECT_EQ(At(seed), base::kLightCyan);
        EXPECT_EQ(At(middle), base::kLightCyan);
        EXPECT_EQ(RedBlobs(), 1);
    }
}

TEST_F(CompassTest, RedrawsLeaveOnePointerAndTouchNothingElse) {
    for (const float heading : {0.0f, 45.0f, 90.0f, 200.0f, 315.0f, 359.0f, 12.3f}) {
        SCOPED_TRACE(heading);
        Draw(heading);
        EXPECT_EQ(RedBlobs(), 1);
        EXPECT_EQ(ChangedBesidesPointer(), 0);  // letters, outline and disc as at start-up
    }
}

TEST_F(CompassTest, EveryWholeHeadingFillsItsArrowhead) {
    // The seed must land inside the outline whatever the direction, or only the outline shows.
    for (int heading = 0; heading < 360; ++heading) {
        SCOPED_TRACE(heading);
        Draw(static_cast<float>(heading));
        const compass::NeedleShape shape = ShapeFor(static_cast<float>(heading));
        EXPECT_EQ(At(ToPixel(shape.seed)), base::kLightRed);
        EXPECT_GT(RedPixels().size(), 100u);  // filled (about 140), not just its edges (about 50)
        EXPECT_EQ(RedBlobs(), 1);
    }
}

TEST_F(CompassTest, EquivalentHeadingsDrawTheSamePicture) {
    const std::pair<float, float> same[] = {{-90, 270},  {720, 0},     {360, 0}, {45.5f, 46},
                                            {44.5f, 44}, {-360.4f, 0}, {810, 90}};
    for (const auto& [heading, like] : same) {
        SCOPED_TRACE(heading);
        Draw(heading);
        const Image image = Snapshot();
        Draw(like);
        EXPECT_EQ(image, Snapshot());
    }
    // The comparison can tell two degrees apart.
    Draw(46);
    const Image at46 = Snapshot();
    Draw(44);
    EXPECT_NE(at46, Snapshot());
}

TEST_F(CompassTest, HeadingsThatCannotBeMadeWholeDrawTheDiscOnly) {
    const float kInfinity = std::numeric_limits<float>::infinity();
    for (const float heading : {1e10f, -1e10f, kInfinity, -kInfinity,
                                std::numeric_limits<float>::quiet_NaN(), -2147483264.0f}) {
        SCOPED_TRACE(heading);
        Draw(90);
        ASSERT_EQ(RedBlobs(), 1);
        headless::ClearTrace();
        EXPECT_NO_THROW(Draw(heading));
        EXPECT_TRUE(RedPixels().empty());
        EXPECT_EQ(Snapshot(), startImage);
        EXPECT_EQ(TraceCount("Picture.pic1.Circle"), 1);
        EXPECT_EQ(TraceCount("Picture.pic1.ExtFloodFill"), 0);
    }
}

TEST(NeedleDirection, TurnsBearingsIntoAnglesAtThe32BitEdge) {
    // 450 + 2147483136 still fits 32 bits, 450 + 2147483264 does not.
    EXPECT_EQ(compass::NeedleDirection(-2147483136.0f), 2147483586 % 360);
    EXPECT_EQ(compass::NeedleDirection(-2147483264.0f), std::nullopt);
    EXPECT_EQ(compass::NeedleDirection(2147483648.0f), -2147483198 % 360);  // negative: fine
    EXPECT_EQ(compass::NeedleDirection(1e10f), std::nullopt);
    EXPECT_EQ(compass::NeedleDirection(0), 90);
    EXPECT_EQ(compass::NeedleDirection(720), -270);
}

}  // namespace
