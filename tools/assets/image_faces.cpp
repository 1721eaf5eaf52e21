// The block atlases (five walls and the exit) and the player marker's skin.
#include "tools/assets/image_atlases.h"

#include <cmath>

#include "text/translation.h"
#include "tools/assets/image_noise.h"
#include "tools/assets/image_text.h"

namespace
{

constexpr int FACE_ATLAS_SIDE = 256;
// Where the renderer's atlas coordinates fall, in pixels of a 256-pixel atlas.
constexpr double INSET_LOW = 2.56;      // s or t 0.01
constexpr double INSET_MIDDLE = 125.44; // 0.49
constexpr double SIGN_LOW = 130.56;     // 0.51
constexpr double SIGN_HIGH = 253.44;    // 0.99

// What a face shows at (u, v): u runs left to right as the face is seen, v bottom to top on
// the sides (0 at the floor) and from the -Y edge to the +Y edge on top. Patterns repeat every
// whole unit in u (and in v on top), so neighbouring blocks meet without a seam.
using FacePaint = Rgba (*)(double u, double v, FaceKind face);

double Fraction(double x)
{
    return x - std::floor(x);
}

// The distance to the nearest whole multiple of `step`.
double GridDistance(double x, double step)
{
    double f = Fraction(x / step);
    return (f < 0.5 ? f : 1.0 - f) * step;
}

Rgba Rgb(double r, double g, double b)
{
    return {r, g, b, 1.0};
}

// A face's colour with the baked light: the face's own light, and on the sides a little shade
// toward the floor and a bright rim along the top edge.
Rgba LitFace(FacePaint paint, double u, double v, FaceKind face)
{
    if (face == FACE_TOP)
    {
        return Scale(paint(u, Fraction(v), face), LIGHT_TOP);
    }
    double height = Clamp01(v);
    double light = face == FACE_Y ? LIGHT_Y : LIGHT_X;
    double shade = 0.72 + 0.28 * SmoothStep(0.0, 0.45, height);
    double rim = 1.0 + 0.22 * SmoothStep(0.965, 0.995, height);
    return Scale(paint(u, height, face), light * shade * rim);
}

// Fills the three face quadrants. Where two faces filter the same texels at a shared edge, the
// texels go to the face that has to meet its neighbours without a seam: rows 124 and 125 (about
// t 0.49) to the top, column 125 (s 0.49) to the faces toward +-Y, which face the menu's camera.
// The sides get a thin lit line along their top edge there, the faces toward +-X one along a
// vertical edge, like lit corners.
void PaintBlockFaces(Canvas& atlas, FacePaint paint)
{
    const double side = INSET_MIDDLE - INSET_LOW; // 122.88 pixels from 0.01 to 0.49
    const double wide = SIGN_HIGH - INSET_MIDDLE; // 128 pixels from 0.49 to 0.99
    for (int y = 0; y < FACE_ATLAS_SIDE; ++y)
    {
        for (int x = 0; x < FACE_ATLAS_SIDE; ++x)
        {
            double px = x + 0.5;
            double py = y + 0.5;
            double sideV = (py - INSET_LOW) / side;
            Rgba colour;
            if (y >= 126 || (y >= 124 && x <= 125))
            {
                colour =
                    LitFace(paint, (px - INSET_LOW) / side, (py - INSET_MIDDLE) / wide, FACE_TOP);
            }
            else if (x <= 125)
            {
                colour = LitFace(paint, (px - INSET_LOW) / side, sideV, FACE_Y);
            }
            else
            {
                colour = LitFace(paint, (px - INSET_MIDDLE) / wide, sideV, FACE_X);
            }
            PixelAt(atlas, x, y) = colour;
        }
    }
}

// Stone brick: four courses of two bricks a face, half a brick offset every other course; the
// top is capped with four flagstones.
Rgba PaintStone(double u, double v, FaceKind face)
{
    uint32_t seed = face == FACE_X ? 11u : 7u;
    if (face == FACE_TOP)
    {
        double joint = std::fmin(GridDistance(u, 0.5), GridDistance(v, 0.5));
        int slab = static_cast<int>(std::floor(Fraction(u) * 2.0)) +
                   2 * static_cast<int>(std::floor(Fraction(v) * 2.0));
        double tint = 0.9 + 0.2 * HashUnit(slab, 3, 5u);
        double grain = TiledFractal(u, v, 6, 6, 4, 21u);
        double speck = TiledNoise(u, v, 64, 64, 23u);
        Rgba stone = Scale(Rgb(0.74, 0.71, 0.64), tint * (0.78 + 0.36 * grain));
        stone = MixColour(stone, Rgb(0.48, 0.46, 0.42), SmoothStep(0.72, 0.9, speck) * 0.6);
        // Slab edges worn a little darker than their middles.
        double wear = SmoothStep(0.008, 0.05, joint);
        stone = Scale(stone, 0.86 + 0.14 * wear);
        Rgba mortar = Scale(Rgb(0.36, 0.34, 0.31), 0.85 + 0.3 * grain);
        return MixColour(mortar, stone, SmoothStep(0.009, 0.017, joint));
    }
    int course = static_cast<int>(std::floor(Clamp01(v) * 3.9999));
    double inCourse = v * 4.0 - course;
    double shifted = u + (course % 2) * 0.25;
    int brick = static_cast<int>(std::floor(Fraction(shifted) * 2.0));
    double alongBrick = Fraction(shifted * 2.0);
    double joint =
        std::fmin(GridDistance(shifted, 0.5), std::fmin(inCourse, 1.0 - inCourse) * 0.25);
    double tint = 0.82 + 0.3 * HashUnit(brick, course, seed);
    double warm = HashUnit(brick, course, seed + 1u) * 0.08;
    double grain = TiledFractal(u, v, 8, 8, 4, seed + 2u);
    Rgba stone = Scale(Rgb(0.62 + warm, 0.58, 0.52 - warm), tint * (0.8 + 0.35 * grain));
    // Each brick catches the light on its upper edge and is shaded on its lower one.
    stone = Scale(stone, 1.0 + 0.16 * SmoothStep(0.8, 0.97, inCourse) -
                             0.16 * (1.0 - SmoothStep(0.03, 0.2, inCourse)));
    stone =
        Scale(stone, 0.92 + 0.08 * SmoothStep(0.0, 0.1, std::fmin(alongBrick, 1.0 - alongBrick)));
    Rgba mortar = Scale(Rgb(0.33, 0.31, 0.29), 0.85 + 0.3 * grain);
    return MixColour(mortar, stone, SmoothStep(0.01, 0.019, joint));
}

// Hedge: layers of small leaves with dark gaps between them; a few blossoms on top.
Rgba PaintHedge(double u, double v, FaceKind face)
{
    uint32_t seed = face == FACE_TOP ? 31u : (face == FACE_X ? 37u : 41u);
    double clump = TiledFractal(u, v, 3, 3, 3, seed);
    CellDistance large = TiledCells(u, v, 9, seed + 1u);
    CellDistance small = TiledCells(u, v, 17, seed + 2u);
    bool front = small.nearest < 0.42;
    const CellDistance& leaf = front ? small : large;
    double tone = 0.6 + 0.5 * ((leaf.id >> 8) % 1000) / 1000.0;
    double body = 1.0 - 0.55 * SmoothStep(0.1, 0.75, leaf.nearest);
    double gap = SmoothStep(0.02, 0.12, leaf.second - leaf.nearest);
    double light = tone * body * (0.65 + 0.6 * clump) * (0.35 + 0.65 * gap);
    Rgba dark = Rgb(0.03, 0.12, 0.03);
    Rgba bright = face == FACE_TOP ? Rgb(0.42, 0.70, 0.22) : Rgb(0.34, 0.60, 0.18);
    Rgba colour = MixColour(dark, bright, Clamp01(light));
    if (face == FACE_TOP && ((small.id >> 4) % 100) < 3 && small.nearest < 0.16)
    {
        double petal = 1.0 - SmoothStep(0.08, 0.16, small.nearest);
        colour = MixColour(colour, Rgb(0.98, 0.9, 0.95), petal);
    }
    return colour;
}

// A round rivet head at (cu, cv) of radius r, lit from the upper left; 0 where there is none.
double RivetLight(double u, double v, double cu, double cv, double r, double* cover)
{
    double du = u - cu;
    double dv = v - cv;
    double d = std::sqrt(du * du + dv * dv);
    *cover = 1.0 - SmoothStep(r * 0.8, r, d);
    return (-du + dv) / r;
}

// Metal panels: two plates a face with riveted edges and brushed streaks; tread plate on top.
Rgba PaintMetal(double u, double v, FaceKind face)
{
    uint32_t seed = face == FACE_X ? 53u : 59u;
    if (face == FACE_TOP)
    {
        double cu = u * 8.0;
        double cv = v * 8.0;
        int iu = static_cast<int>(std::floor(cu));
        int iv = static_cast<int>(std::floor(cv));
        double a = cu - iu - 0.5;
        double b = cv - iv - 0.5;
        // Raised bars along one diagonal or the other, alternating like a tread plate.
        bool turn = ((iu + iv) & 1) != 0;
        double along = (turn ? a - b : a + b) * 0.7071;
        double across = (turn ? a + b : a - b) * 0.7071;
        double bar = 1.0 - ((along / 0.36) * (along / 0.36) + (across / 0.1) * (across / 0.1));
        double raised = SmoothStep(0.0, 0.25, bar);
        double side = turn ? (a + b) : (b - a);
        double noise = TiledFractal(u, v, 8, 8, 3, 61u);
        Rgba plate = Scale(Rgb(0.62, 0.66, 0.72), 0.85 + 0.25 * noise);
        Rgba bump = Scale(plate, 1.12 + 0.5 * side);
        return MixColour(plate, bump, raised);
    }
    double streak = TiledNoise(u, v, 2, 96, seed);
    double noise = TiledFractal(u, v, 4, 4, 3, seed + 1u);
    Rgba steel = Scale(Rgb(0.50, 0.56, 0.64), (0.86 + 0.14 * streak) * (0.88 + 0.2 * noise));
    double seamU = GridDistance(u, 1.0);
    double seamV = std::fmin(std::fabs(v - 0.5), std::fmin(v, 1.0 - v));
    double seam = std::fmin(seamU, seamV);
    // A seam is a dark groove with a lit lip on the far side of it.
    steel =
        Scale(steel, 1.0 + 0.18 * (SmoothStep(0.012, 0.02, seam) - SmoothStep(0.02, 0.04, seam)));
    steel = MixColour(Scale(steel, 0.3), steel, SmoothStep(0.005, 0.012, seam));
    const double rivetU[2] = {0.06, 0.94};
    const double rivetV[4] = {0.07, 0.43, 0.57, 0.93};
    for (double ru : rivetU)
    {
        for (double rv : rivetV)
        {
            double cover = 0.0;
            double light = RivetLight(u, v, ru, rv, 0.025, &cover);
            if (cover > 0.0)
            {
                steel = MixColour(steel, Scale(Rgb(0.66, 0.7, 0.76), 1.0 + 0.35 * light), cover);
            }
        }
    }
    return steel;
}

// Timber: five horizontal planks a face with staggered joints and nails; boards across the top.
Rgba PaintTimber(double u, double v, FaceKind face)
{
    uint32_t seed = face == FACE_TOP ? 71u : (face == FACE_X ? 73u : 79u);
    int planks = face == FACE_TOP ? 4 : 5;
    double across = face == FACE_TOP ? Fraction(v) : Clamp01(v);
    int plank = static_cast<int>(std::floor(across * (planks - 0.0001)));
    double inPlank = across * planks - plank;
    double jointAt = (plank % 2) * 0.5;
    double along = Fraction(u - jointAt);
    double tint = 0.85 + 0.25 * HashUnit(plank, 0, seed);
    double grain = TiledFractal(u, v, 3, 24 * planks, 3, seed + 1u);
    double lines = Fraction(grain * 9.0 + HashUnit(plank, 0, seed + 2u));
    double ring = SmoothStep(0.75, 0.95, lines) * (1.0 - SmoothStep(0.95, 1.0, lines));
    Rgba light = face == FACE_TOP ? Rgb(0.66, 0.49, 0.30) : Rgb(0.58, 0.38, 0.19);
    Rgba wood = Scale(light, tint * (0.82 + 0.3 * grain));
    wood = MixColour(wood, Scale(wood, 0.62), ring);
    // Rounded plank edges: lit above, shaded below, dark gaps between.
    wood = Scale(wood, 1.0 + 0.14 * SmoothStep(0.8, 0.96, inPlank) -
                           0.2 * (1.0 - SmoothStep(0.04, 0.22, inPlank)));
    double gapAcross = std::fmin(inPlank, 1.0 - inPlank) / planks;
    double gapAlong = std::fmin(along, 1.0 - along);
    double gap = std::fmin(gapAcross, gapAlong);
    wood = MixColour(Rgb(0.09, 0.05, 0.03), wood, SmoothStep(0.006, 0.013, gap));
    const double nails[2] = {0.035, 0.965};
    for (double nail : nails)
    {
        double du = along - nail;
        double dv = (inPlank - 0.5) / planks;
        double d = std::sqrt(du * du + dv * dv);
        double cover = 1.0 - SmoothStep(0.009, 0.013, d);
        wood = MixColour(wood, Scale(Rgb(0.28, 0.28, 0.3), 1.0 + 10.0 * (dv - du)), cover);
    }
    return wood;
}

// Ice: clear blocks with white cracks and frost; a snowy crust on top.
Rgba PaintIce(double u, double v, FaceKind face)
{
    uint32_t seed = face == FACE_TOP ? 89u : (face == FACE_X ? 97u : 101u);
    double depth = TiledFractal(u, v, 3, 3, 4, seed);
    Rgba deep = Rgb(0.36, 0.62, 0.84);
    Rgba clear = face == FACE_TOP ? Rgb(0.84, 0.94, 1.0) : Rgb(0.72, 0.88, 0.98);
    Rgba ice = MixColour(deep, clear, SmoothStep(0.25, 0.75, depth));
    CellDistance cracks = TiledCells(u, v, 4, seed + 1u);
    double crack = 1.0 - SmoothStep(0.0, 0.035, cracks.second - cracks.nearest);
    CellDistance fine = TiledCells(u, v, 11, seed + 2u);
    double fineCrack = 1.0 - SmoothStep(0.0, 0.03, fine.second - fine.nearest);
    ice = MixColour(ice, Rgb(0.96, 0.99, 1.0), crack * 0.85 + fineCrack * 0.25);
    double frost = TiledFractal(u, v, 16, 16, 2, seed + 3u);
    ice = MixColour(ice, Rgb(0.97, 0.99, 1.0), SmoothStep(0.6, 0.85, frost) * 0.5);
    if (face != FACE_TOP)
    {
        // Two courses of blocks, their edges bevelled bright.
        int course = v < 0.5 ? 0 : 1;
        double inCourse = Fraction(v * 2.0);
        double joint = std::fmin(GridDistance(u + course * 0.5, 1.0),
                                 std::fmin(inCourse, 1.0 - inCourse) * 0.5);
        ice = MixColour(Rgb(0.98, 1.0, 1.0), ice, SmoothStep(0.004, 0.02, joint));
        ice = MixColour(Rgb(0.2, 0.38, 0.55), ice, SmoothStep(0.0, 0.006, joint));
    }
    return ice;
}

// The exit box: a green case with a white frame, and a doorway on its sides.
Rgba PaintExitBox(double u, double v, FaceKind face)
{
    Rgba green = Rgb(0.1, 0.66, 0.28);
    Rgba white = Rgb(0.95, 0.97, 0.93);
    double edge = std::fmin(std::fmin(Fraction(u), 1.0 - Fraction(u)),
                            std::fmin(Fraction(v), 1.0 - Fraction(v)));
    double glow =
        1.0 -
        0.25 * SmoothStep(0.1, 0.5, std::fabs(Fraction(u) - 0.5) + std::fabs(Fraction(v) - 0.5));
    Rgba colour = Scale(green, glow);
    double frame = SmoothStep(0.05, 0.06, edge) * (1.0 - SmoothStep(0.1, 0.11, edge));
    colour = MixColour(colour, white, frame);
    if (face == FACE_TOP)
    {
        // An arrow pointing down into the box: the way out.
        double x = std::fabs(u - 0.5);
        double shaft = (x < 0.07 && v > 0.42 && v < 0.78) ? 1.0 : 0.0;
        double head = (v > 0.2 && v <= 0.42 && x < (v - 0.2) * 1.0) ? 1.0 : 0.0;
        return MixColour(colour, white, std::fmax(shaft, head));
    }
    double doorX = std::fabs(u - 0.5);
    bool door = doorX < 0.2 && v < 0.72;
    bool doorFrame = doorX < 0.24 && v < 0.76 && !door;
    if (door)
    {
        colour = Scale(Rgb(0.02, 0.2, 0.08), 0.7 + 0.6 * v);
    }
    return doorFrame ? white : colour;
}

// The sign plate: "IŠĖJIMAS" on green, once as written and once mirrored, so that one of the two
// lines reads straight from either side of the plate.
void PaintExitSign(Canvas& atlas)
{
    const double size = SIGN_HIGH - SIGN_LOW;
    for (int y = 128; y < FACE_ATLAS_SIDE; ++y)
    {
        for (int x = 128; x < FACE_ATLAS_SIDE; ++x)
        {
            double u = (x + 0.5 - SIGN_LOW) / size;
            double v = (y + 0.5 - SIGN_LOW) / size;
            double edge = std::fmin(std::fmin(u, 1.0 - u), std::fmin(v, 1.0 - v));
            Rgba plate = Scale(Rgb(0.06, 0.56, 0.22), 0.9 + 0.1 * v);
            double frame = SmoothStep(0.025, 0.035, edge) * (1.0 - SmoothStep(0.06, 0.07, edge));
            plate = MixColour(plate, Rgb(0.95, 0.97, 0.93), frame);
            plate = MixColour(Rgb(0.02, 0.18, 0.07), plate, SmoothStep(0.0, 0.02, edge));
            PixelAt(atlas, x, y) = plate;
        }
    }
    // The plate is 0.8 wide and 1.0 high in the world on a square of texture: letters are drawn
    // 1.25 times wider than high so they look right.
    const char* word = Translate("IŠĖJIMAS");
    double em = 20.0;
    TextMask text = RenderText(word, em * 1.25, em, 0.0, 3);
    while (text.inkRight - text.inkLeft + 1 > size - 14.0 && em > 6.0)
    {
        em -= 0.5;
        text = RenderText(word, em * 1.25, em, 0.0, 3);
    }
    TextMask mirrored = MirrorText(text);
    double cap = CapHeight(em * 1.25, em);
    const double rows[2] = {0.7, 0.3};
    for (int line = 0; line < 2; ++line)
    {
        const TextMask& mask = line == 0 ? text : mirrored;
        double centreX = SIGN_LOW + size * 0.5;
        double centreY = SIGN_LOW + size * rows[line];
        int x =
            static_cast<int>(std::floor(centreX - (mask.inkLeft + mask.inkRight + 1) * 0.5 + 0.5));
        int y = static_cast<int>(std::floor(centreY - cap * 0.5 - mask.baseline + 0.5));
        PaintMask(atlas, GrowMask(mask.mask, 1.6, 1.3), x, y, Rgba{0.01, 0.15, 0.05, 0.85});
        PaintMask(atlas, mask.mask, x, y, Rgba{1.0, 1.0, 0.96, 1.0});
    }
}

} // namespace

Canvas MakeWallAtlas(int theme)
{
    static const FacePaint themes[WALL_THEME_COUNT] = {PaintStone, PaintHedge, PaintMetal,
                                                       PaintTimber, PaintIce};
    Canvas atlas = MakeCanvas(FACE_ATLAS_SIDE, FACE_ATLAS_SIDE, Rgba{0, 0, 0, 1});
    PaintBlockFaces(atlas, themes[theme]);
    return atlas;
}

Canvas MakeExitMarkerAtlas()
{
    Canvas atlas = MakeCanvas(FACE_ATLAS_SIDE, FACE_ATLAS_SIDE, Rgba{0, 0, 0, 1});
    PaintBlockFaces(atlas, PaintExitBox);
    PaintExitSign(atlas);
    return atlas;
}

Canvas MakePlayerMarkerAtlas()
{
    constexpr int SIDE = 128;
    Canvas atlas = MakeCanvas(SIDE, SIDE, Rgba{0, 0, 0, 1});
    const Rgba magenta = Rgb(1.0, 0.16, 0.62);
    for (int y = 0; y < SIDE; ++y)
    {
        for (int x = 0; x < SIDE; ++x)
        {
            double dx = (x + 0.5) / SIDE - 0.5;
            double dy = (y + 0.5) / SIDE - 0.5;
            double ax = std::fabs(dx);
            double ay = std::fabs(dy);
            // The four sides meet along the diagonals; the pair facing +-Y is the lighter one.
            double light = ay >= ax ? 0.98 : 0.8;
            double ridge = 1.0 - SmoothStep(0.004, 0.014, std::fabs(ax - ay));
            double apex = 1.0 - std::fmax(ax, ay) * 2.0; // 1 at the apex, 0 at the base
            Rgba colour = Scale(magenta, light * (0.82 + 0.22 * apex));
            colour = MixColour(colour, Rgb(1.0, 0.78, 0.92), ridge * 0.7);
            double base = SmoothStep(0.465, 0.49, std::fmax(ax, ay));
            colour = MixColour(colour, Scale(magenta, 0.45), base);
            PixelAt(atlas, x, y) = colour;
        }
    }
    return atlas;
}
