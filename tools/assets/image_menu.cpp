// The menu atlas: the sliding panel with the six item labels, the highlight bar, the two halves
// of the emblem and the help hint.
#include "tools/assets/image_atlases.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "text/translation.h"
#include "tools/assets/image_text.h"

namespace
{

constexpr int MENU_SIDE = 512;
// The panel is 3 x 4.5 overlay units on 256 x 384 pixels: 85.33 pixels a unit.
constexpr double PANEL_TOP = 384.0;
constexpr double PANEL_RIGHT = 256.0;
// The highlight bar of item i is centred 1.92 units from the panel's left edge and 1.5 + 0.5 i
// units below its top edge.
constexpr double ITEM_CENTRE_X = 163.84;
constexpr double ITEM_FIRST_DOWN = 128.0;
constexpr double ITEM_STEP_DOWN = 42.667;
// While the panel is slid away only its top 0.64 units show.
constexpr double TAB_HEIGHT = 55.0;

// The words of the atlas, in the language of the catalog chosen.
const char* const ITEM_LABELS[6] = {
    MarkText("Tęsti"),
    MarkText("Savas vortanas"),
    MarkText("Fiksuota kampanija"),
    MarkText("Atsitiktinė kampanija"),
    MarkText("Rekordai"),
    MarkText("Išeiti"),
};

const Rgba INK = {0.97, 0.95, 0.88, 1.0};
const Rgba GOLD = {1.0, 0.83, 0.36, 1.0};
const Rgba OUTLINE = {0.0, 0.0, 0.02, 0.8};
const Rgba NAVY = {0.05, 0.07, 0.15, 1.0};
const Rgba STEEL = {0.62, 0.71, 0.9, 1.0};

// Signed distance to a rectangle with rounded corners (negative inside).
double RoundedBoxDistance(double x, double y, double x0, double y0, double x1, double y1,
                          double radius)
{
    double cx = (x0 + x1) * 0.5;
    double cy = (y0 + y1) * 0.5;
    double qx = std::fabs(x - cx) - ((x1 - x0) * 0.5 - radius);
    double qy = std::fabs(y - cy) - ((y1 - y0) * 0.5 - radius);
    double outside = std::sqrt(std::fmax(qx, 0.0) * std::fmax(qx, 0.0) +
                               std::fmax(qy, 0.0) * std::fmax(qy, 0.0));
    return outside + std::fmin(std::fmax(qx, qy), 0.0) - radius;
}

// Lays a line of text with its capitals centred on (x, y), outlined for any background.
void PaintLabel(Canvas& canvas, const char* text, double emX, double emY, double x, double y,
                Rgba colour)
{
    TextMask mask = RenderText(text, emX, emY, 0.0, 4);
    double cap = CapHeight(emX, emY);
    int left = static_cast<int>(std::floor(x - (mask.inkLeft + mask.inkRight + 1) * 0.5 + 0.5));
    int bottom = static_cast<int>(std::floor(y - cap * 0.5 - mask.baseline + 0.5));
    PaintMask(canvas, GrowMask(mask.mask, 1.8, 1.8), left, bottom, OUTLINE);
    PaintMask(canvas, mask.mask, left, bottom, colour);
}

double TextWidth(const char* text, double em)
{
    TextMask mask = RenderText(text, em, em, 0.0, 0);
    return mask.inkRight - mask.inkLeft + 1;
}

// Each pixel of a region drawn from 4 x 4 samples of `sample`, laid over what is there.
template <typename Sample>
void PaintSmooth(Canvas& canvas, int x0, int y0, int x1, int y1, Sample sample)
{
    for (int y = y0; y < y1; ++y)
    {
        for (int x = x0; x < x1; ++x)
        {
            double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
            for (int sy = 0; sy < 4; ++sy)
            {
                for (int sx = 0; sx < 4; ++sx)
                {
                    Rgba c = sample(x + (sx + 0.5) / 4.0, y + (sy + 0.5) / 4.0);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            if (a > 0.0)
            {
                BlendPixel(canvas, x, y, Rgba{r / a, g / a, b / a, 1.0}, a / 16.0);
            }
        }
    }
}

void PaintPanel(Canvas& atlas)
{
    const double left = 3.0, right = PANEL_RIGHT - 3.0, bottom = 3.0, top = PANEL_TOP - 3.0;
    const double tabLine = PANEL_TOP - TAB_HEIGHT;
    PaintSmooth(
        atlas, 0, 0, static_cast<int>(PANEL_RIGHT), static_cast<int>(PANEL_TOP),
        [&](double x, double y)
        {
            double d = RoundedBoxDistance(x, y, left, bottom, right, top, 16.0);
            if (d > 0.0)
            {
                return Rgba{NAVY.r, NAVY.g, NAVY.b, 0.0};
            }
            if (d > -3.0)
            {
                return STEEL;
            }
            if (y > tabLine + 1.0)
            {
                // The heading tab: a lit band that stays in view at the screen's edge.
                double lift = (y - tabLine) / TAB_HEIGHT;
                return Rgba{0.12 + 0.08 * lift, 0.2 + 0.1 * lift, 0.42 + 0.12 * lift, 0.96};
            }
            if (y > tabLine - 1.5)
            {
                return GOLD;
            }
            double lift = y / tabLine;
            return Rgba{NAVY.r + 0.04 * lift, NAVY.g + 0.05 * lift, NAVY.b + 0.08 * lift, 0.86};
        });
    PaintLabel(atlas, Translate("MENIU"), 30.0, 30.0, ITEM_CENTRE_X,
               tabLine + TAB_HEIGHT * 0.5 - 1.0, GOLD);

    // One size for all labels: the largest at which the longest fits inside the panel.
    double em = 22.0;
    const double room = (PANEL_RIGHT - 8.0 - ITEM_CENTRE_X) * 2.0;
    for (const char* label : ITEM_LABELS)
    {
        while (TextWidth(Translate(label), em) > room && em > 8.0)
        {
            em -= 0.5;
        }
    }
    for (int i = 0; i < 6; ++i)
    {
        double y = PANEL_TOP - (ITEM_FIRST_DOWN + ITEM_STEP_DOWN * i);
        PaintLabel(atlas, Translate(ITEM_LABELS[i]), em, em, ITEM_CENTRE_X, y, INK);
    }
}

// A soft golden band about 40 pixels high across the middle of the bar's region.
void PaintHighlightBar(Canvas& atlas)
{
    const double x0 = 0.505 * MENU_SIDE, x1 = 0.99 * MENU_SIDE;
    const double y0 = 0.755 * MENU_SIDE, y1 = 0.99 * MENU_SIDE;
    const double centreY = (y0 + y1) * 0.5;
    for (int y = static_cast<int>(y0); y < static_cast<int>(y1) + 1; ++y)
    {
        for (int x = static_cast<int>(x0); x < static_cast<int>(x1) + 1; ++x)
        {
            double px = x + 0.5;
            double dy = std::fabs(y + 0.5 - centreY);
            double ends = SmoothStep(4.0, 44.0, std::fmin(px - x0, x1 - px));
            double band = 1.0 - SmoothStep(12.0, 21.0, dy);
            double edge = 1.0 - SmoothStep(0.0, 1.6, std::fabs(dy - 18.5));
            double alpha = ends * (0.34 * band + 0.3 * edge);
            Rgba colour = MixColour(Rgba{1.0, 0.78, 0.32, 1.0}, Rgba{1.0, 0.95, 0.75, 1.0},
                                    Clamp01(0.5 + (y + 0.5 - centreY) / 40.0));
            BlendPixel(atlas, x, y, colour, alpha);
        }
    }
}

// The turning half of the emblem: a toothed golden ring with four engraved marks and a red
// pointer, so its turn is easy to follow.
void PaintEmblemRing(Canvas& atlas)
{
    const double cx = 0.1225 * MENU_SIDE, cy = 0.8775 * MENU_SIDE;
    PaintSmooth(
        atlas, 0, 387, 126, MENU_SIDE,
        [&](double x, double y)
        {
            double dx = x - cx;
            double dy = y - cy;
            double r = std::sqrt(dx * dx + dy * dy);
            double turn = std::atan2(dy, dx) / (2.0 * std::numbers::pi) + 0.5;
            double tooth = turn * 12.0 - std::floor(turn * 12.0);
            double outer = (tooth > 0.3 && tooth < 0.7) ? 58.0 : 52.0;
            if (r < 39.0 || r > outer)
            {
                return Rgba{0.6, 0.45, 0.1, 0.0};
            }
            // Lit from the upper left, brightest along the middle of the band.
            double slope = (dy - dx) / r;
            double middle = 1.0 - std::fabs(r - 45.5) / 13.0;
            Rgba gold = Scale(Rgba{0.95, 0.72, 0.22, 1.0}, 0.7 + 0.25 * middle + 0.2 * slope);
            if (r > 52.0 || r < 40.5)
            {
                gold = Scale(gold, 0.75);
            }
            double quarter = turn * 4.0 - std::floor(turn * 4.0);
            if (std::fabs(quarter - 0.5) < 0.035 && r > 42.0 && r < 50.0)
            {
                gold = Rgba{0.3, 0.18, 0.04, 1.0};
            }
            double pointer = std::fabs(turn - 0.75);
            if (pointer < 0.03 && r > 42.0 && r < 50.0)
            {
                gold = Rgba{0.9, 0.12, 0.1, 1.0};
            }
            return gold;
        });
}

// The fixed half: a dark disc that covers the ring's hole, rimmed in gold, with a V on it.
void PaintEmblemCentre(Canvas& atlas)
{
    const double cx = 0.3725 * MENU_SIDE, cy = 0.8775 * MENU_SIDE;
    PaintSmooth(atlas, 129, 387, 253, MENU_SIDE,
                [&](double x, double y)
                {
                    double dx = x - cx;
                    double dy = y - cy;
                    double r = std::sqrt(dx * dx + dy * dy);
                    if (r > 37.0)
                    {
                        return Rgba{0.1, 0.12, 0.25, 0.0};
                    }
                    if (r > 33.5)
                    {
                        return Scale(GOLD, 0.8 + 0.25 * (dy - dx) / r);
                    }
                    double depth = 1.0 - r / 40.0;
                    return Rgba{0.06 + 0.08 * depth, 0.09 + 0.1 * depth, 0.2 + 0.16 * depth, 1.0};
                });
    PaintLabel(atlas, "V", 40.0, 40.0, cx, cy, GOLD);
}

void PaintHelpHint(Canvas& atlas)
{
    const double x0 = 262.0, x1 = 506.0, y0 = 12.0, y1 = 122.0;
    PaintSmooth(atlas, 256, 5, MENU_SIDE, 128,
                [&](double x, double y)
                {
                    double d = RoundedBoxDistance(x, y, x0, y0, x1, y1, 18.0);
                    if (d > 0.0)
                    {
                        return Rgba{NAVY.r, NAVY.g, NAVY.b, 0.0};
                    }
                    if (d > -3.0)
                    {
                        return STEEL;
                    }
                    return Rgba{NAVY.r, NAVY.g, NAVY.b, 0.82};
                });
    const char* text = Translate("F1 - pagalba");
    double em = 40.0;
    while (TextWidth(text, em) > x1 - x0 - 30.0 && em > 8.0)
    {
        em -= 0.5;
    }
    double centreX = (x0 + x1) * 0.5;
    double centreY = (y0 + y1) * 0.5;
    PaintLabel(atlas, text, em, em, centreX, centreY, INK);
    // The key itself in gold: the same letters drawn again over the start of the line, where
    // the line begins with them.
    if (std::strncmp(text, "F1", 2) != 0)
    {
        return;
    }
    TextMask whole = RenderText(text, em, em, 0.0, 4);
    TextMask key = RenderText("F1", em, em, 0.0, 4);
    double cap = CapHeight(em, em);
    int left =
        static_cast<int>(std::floor(centreX - (whole.inkLeft + whole.inkRight + 1) * 0.5 + 0.5));
    int bottom = static_cast<int>(std::floor(centreY - cap * 0.5 - whole.baseline + 0.5));
    PaintMask(atlas, key.mask, left, bottom, GOLD);
}

} // namespace

Canvas MakeMenuAtlas()
{
    Canvas atlas = MakeCanvas(MENU_SIDE, MENU_SIDE, Rgba{NAVY.r, NAVY.g, NAVY.b, 0.0});
    PaintPanel(atlas);
    PaintHighlightBar(atlas);
    PaintEmblemRing(atlas);
    PaintEmblemCentre(atlas);
    PaintHelpHint(atlas);
    return atlas;
}
