// The headless raster's circle decides most pixels by squared distances and fills runs at once;
// whatever it skips, every pixel must still follow the plain rule: at distance d from the centre,
// the outline when |d - r| <= half the pen, else the fill (when solid) when d < r, else untouched.
#include <cmath>
#include <limits>
#include <vector>

#include "base/color.h"
#include "form_fixture.h"

namespace {

class HeadlessCircleTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        Start();
    }
    platform::PictureBox& Picture() { return form->pic1; }
    int Width() { return headless::ImageWidth(Picture()); }
    int Height() { return headless::ImageHeight(Picture()); }
    std::vector<base::Color> Snapshot() {
        std::vector<base::Color> image;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) image.push_back(headless::Pixel(Picture(), x, y));
        return image;
    }
};

TEST_F(HeadlessCircleTest, EveryPixelFollowsTheDistanceRule) {
    constexpr float kTwips = 15;  // per pixel in the test world
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float x, y, radius;  // pixels
        int pen;
        bool solid;
    } cases[] = {
        {47.5f, 49.5f, 30.875f, 2, true},  // the compass
        {40, 40, 20, 1, true},             // whole-pixel centre and radius: exact boundaries
        {40, 40, 20, 2, false},
        {40.5f, 30, 3, 4, true},  // a pen wider than the gap inside it
        {0, 0, 25, 1, true},      // centre on a corner
        {-10, 50, 30, 3, true},   // centre beyond each edge
        {120, 50, 40, 2, true},
        {47, -30, 45, 1, true},
        {47, 140, 45, 1, false},
        {47, 49, 200, 2, true},  // larger than the picture
        {47, 49, 0, 2, true},    // a dot
        {47, 49, -1, 3, true},   // negative radius
        {47, 49, 1e30f, 2, true},
        {-1e30f, 49, 1e30f, 2, true},
        {47, 49, nan, 2, true},
        {nan, 49, 20, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << " r " << c.radius << " pen "
                                        << c.pen << (c.solid ? " solid" : " hollow"));
        std::vector<base::Color> expected = Snapshot();
        const double half = c.pen / 2.0;
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x) {
                const double d = std::hypot(x - double(c.x), y - double(c.y));
                base::Color& pixel = expected[static_cast<std::size_t>(y * Width() + x)];
                if (std::abs(d - c.radius) <= half)
                    pixel = base::kBlue;
                else if (d < c.radius && c.solid)
                    pixel = base::kLightRed;
            }
        Picture().SetDrawWidth(c.pen);
        Picture().SetFillColor(base::kLightRed);
        Picture().SetFillStyle(c.solid ? platform::FillStyle::Solid
                                       : platform::FillStyle::Transparent);
        Picture().Circle(c.x * kTwips, c.y * kTwips, c.radius * kTwips, base::kBlue);
        EXPECT_TRUE(Snapshot() == expected);
    }
}

}  // namespace
