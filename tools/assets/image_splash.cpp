// The splash atlas: the title banner in the top band and, below it, a picture of a maze seen
// from above at an angle, drawn by a small software renderer with the game's own atlases.
#include "tools/assets/image_atlases.h"

#include <cmath>
#include <vector>

#include "tools/assets/image_text.h"

namespace
{

constexpr int SPLASH_SIDE = 512;
// The banner is t 0.78125 .. 1: rows 400 .. 511.
constexpr int BANNER_BOTTOM = 400;
// On screen the banner box is 5.12 x 1.8 units and the picture 3.6 x 3.0.
constexpr double BANNER_UNITS_X = 5.12;
constexpr double BANNER_UNITS_Y = 1.8;
constexpr double PICTURE_UNITS_X = 3.6;
constexpr double PICTURE_UNITS_Y = 3.0;

// ---- The title banner ----

void PaintBanner(Canvas& atlas)
{
    const double pixelsX = SPLASH_SIDE / BANNER_UNITS_X;                   // 100 a unit
    const double pixelsY = (SPLASH_SIDE - BANNER_BOTTOM) / BANNER_UNITS_Y; // 62.2 a unit
    // Tall display capitals: 1.5 times their natural height, as wide as the band allows.
    const char* title = "VORTANAI";
    double em = 1.2; // in screen units
    TextMask text = RenderText(title, em * pixelsX, em * pixelsY * 1.5, em * pixelsX * 0.04, 12);
    while (text.inkRight - text.inkLeft + 1 > SPLASH_SIDE - 40 ||
           text.inkTop - text.baseline + 1 > 78)
    {
        em -= 0.02;
        text = RenderText(title, em * pixelsX, em * pixelsY * 1.5, em * pixelsX * 0.04, 12);
    }
    int left = (SPLASH_SIDE - (text.inkLeft + text.inkRight + 1)) / 2;
    double capTop = text.inkTop;
    double capBottom = text.baseline;
    int bottom = BANNER_BOTTOM + (SPLASH_SIDE - BANNER_BOTTOM) / 2 -
                 static_cast<int>((capTop + capBottom) * 0.5);
    // Outlines as thick on screen in both directions: radii in pixels of each axis.
    const double outline = 0.045;
    Mask rim = GrowMask(text.mask, outline * pixelsX, outline * pixelsY);
    Mask glow = GrowMask(text.mask, outline * 2.2 * pixelsX, outline * 2.2 * pixelsY);
    PaintMask(atlas, glow, left + 3, bottom - 2, Rgba{0.0, 0.0, 0.0, 0.45});
    PaintMask(atlas, rim, left, bottom, Rgba{0.16, 0.05, 0.02, 1.0});
    PaintMaskShaded(atlas, text.mask, left, bottom,
                    [&](int, int y)
                    {
                        double height = Clamp01((y - bottom - capBottom) / (capTop - capBottom));
                        Rgba low = {0.95, 0.35, 0.05, 1.0};
                        Rgba high = {1.0, 0.93, 0.55, 1.0};
                        Rgba fill = MixColour(low, high, SmoothStep(0.0, 1.0, height));
                        // A bright streak across the upper half, as on polished metal.
                        double streak = 1.0 - SmoothStep(0.0, 0.08, std::fabs(height - 0.62));
                        return MixColour(fill, Rgba{1.0, 1.0, 0.9, 1.0}, streak * 0.6);
                    });
}

// ---- The picture ----

struct Vec3
{
    double x, y, z;
};

Vec3 Sub(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

double Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 Cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3 Normalise(Vec3 a)
{
    double length = std::sqrt(Dot(a, a));
    return {a.x / length, a.y / length, a.z / length};
}

struct Vertex
{
    Vec3 position;
    double s, t;
};

// A triangle of the scene: textured from an atlas, or the floor (atlas null) shaded by position.
struct Triangle
{
    Vertex corners[3];
    const Canvas* atlas;
};

struct Camera
{
    Vec3 eye, right, up, forward;
    double focusX, focusY; // in samples
    double centreX, centreY;
};

constexpr int SUPERSAMPLE = 3;
constexpr int PICTURE_WIDTH = SPLASH_SIDE;
constexpr int PICTURE_HEIGHT = BANNER_BOTTOM;

struct SampleBuffer
{
    int width, height;
    std::vector<Rgba> colour;
    std::vector<double> depth;
};

// The quads of the renderer's box, corners as it gives them, split into triangles.
void AddQuad(std::vector<Triangle>* scene, const Vertex (&q)[4], const Canvas* atlas)
{
    scene->push_back({{q[0], q[1], q[2]}, atlas});
    scene->push_back({{q[0], q[2], q[3]}, atlas});
}

void AddBox(std::vector<Triangle>* scene, double x0, double y0, double x1, double y1, double z1,
            const Canvas* atlas)
{
    const double lo = 0.01, mid = 0.49, hi = 0.99;
    AddQuad(scene,
            {{{x0, y0, z1}, lo, mid},
             {{x1, y0, z1}, mid, mid},
             {{x1, y1, z1}, mid, hi},
             {{x0, y1, z1}, lo, hi}},
            atlas);
    AddQuad(scene,
            {{{x0, y0, 0}, lo, lo},
             {{x1, y0, 0}, mid, lo},
             {{x1, y0, z1}, mid, mid},
             {{x0, y0, z1}, lo, mid}},
            atlas);
    AddQuad(scene,
            {{{x1, y1, 0}, lo, lo},
             {{x0, y1, 0}, mid, lo},
             {{x0, y1, z1}, mid, mid},
             {{x1, y1, z1}, lo, mid}},
            atlas);
    AddQuad(scene,
            {{{x0, y1, 0}, mid, lo},
             {{x0, y0, 0}, hi, lo},
             {{x0, y0, z1}, hi, mid},
             {{x0, y1, z1}, mid, mid}},
            atlas);
    AddQuad(scene,
            {{{x1, y0, 0}, mid, lo},
             {{x1, y1, 0}, hi, lo},
             {{x1, y1, z1}, hi, mid},
             {{x1, y0, z1}, mid, mid}},
            atlas);
}

// A small maze of our own: rooms on odd cells joined by a depth-first walk with a fixed seed.
constexpr int MAZE_COLUMNS = 11;
constexpr int MAZE_ROWS = 7;

void CarveMaze(bool open[MAZE_ROWS][MAZE_COLUMNS])
{
    uint32_t state = 20240611u;
    auto next = [&state]()
    {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFFu;
    };
    std::vector<std::pair<int, int>> path = {{1, MAZE_ROWS - 2}};
    open[MAZE_ROWS - 2][1] = true;
    const int steps[4][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}};
    while (!path.empty())
    {
        auto [x, y] = path.back();
        int choices[4];
        int count = 0;
        for (int d = 0; d < 4; ++d)
        {
            int nx = x + steps[d][0];
            int ny = y + steps[d][1];
            if (nx > 0 && ny > 0 && nx < MAZE_COLUMNS - 1 && ny < MAZE_ROWS - 1 && !open[ny][nx])
            {
                choices[count++] = d;
            }
        }
        if (count == 0)
        {
            path.pop_back();
            continue;
        }
        int d = choices[next() % count];
        open[y + steps[d][1] / 2][x + steps[d][0] / 2] = true;
        open[y + steps[d][1]][x + steps[d][0]] = true;
        path.push_back({x + steps[d][0], y + steps[d][1]});
    }
}

std::vector<Triangle> BuildScene(const Canvas& wall, const Canvas& marker, const Canvas& exit)
{
    std::vector<Triangle> scene;
    bool open[MAZE_ROWS][MAZE_COLUMNS] = {};
    CarveMaze(open);
    const int exitX = MAZE_COLUMNS - 2, exitY = 1;
    const double originX = -MAZE_COLUMNS * 0.5, originY = MAZE_ROWS * 0.5 - 1.0;
    // The floor reaches a little beyond the maze; its s and t are world x and y.
    const double fx0 = originX - 1.5, fx1 = -originX + 1.5;
    const double fy0 = -MAZE_ROWS * 0.5 - 1.5, fy1 = MAZE_ROWS * 0.5 + 1.5;
    AddQuad(&scene,
            {{{fx0, fy0, 0}, fx0, fy0},
             {{fx1, fy0, 0}, fx1, fy0},
             {{fx1, fy1, 0}, fx1, fy1},
             {{fx0, fy1, 0}, fx0, fy1}},
            nullptr);
    for (int y = 0; y < MAZE_ROWS; ++y)
    {
        for (int x = 0; x < MAZE_COLUMNS; ++x)
        {
            if (!open[y][x])
            {
                AddBox(&scene, originX + x, originY - y, originX + x + 1, originY - y + 1, 1.0,
                       &wall);
            }
        }
    }
    // The marker at the start, turned a little so two of its sides catch the eye.
    const double cx = originX + 1.5, cy = originY - (MAZE_ROWS - 2) + 0.5;
    const double h = 0.4;
    const Vec3 turn = Normalise({3.0, 1.0, 0.0});
    const double base[4][4] = {{-h, -h, 0, 0}, {h, -h, 1, 0}, {h, h, 1, 1}, {-h, h, 0, 1}};
    auto corner = [&](const double* b)
    {
        return Vertex{
            {cx + turn.x * b[0] - turn.y * b[1], cy + turn.y * b[0] + turn.x * b[1], 2.0 * h},
            b[2],
            b[3]};
    };
    for (int i = 0; i < 4; ++i)
    {
        scene.push_back(
            {{corner(base[i]), corner(base[(i + 1) % 4]), Vertex{{cx, cy, 4.0 * h}, 0.5, 0.5}},
             &marker});
    }
    // The exit box and its sign, as the renderer draws them.
    const double ex = originX + exitX, ey = originY - exitY;
    AddBox(&scene, ex + 0.1, ey + 0.1, ex + 0.9, ey + 0.9, 1.0, &exit);
    AddQuad(&scene,
            {{{ex + 0.1, ey + 0.5, 1}, 0.51, 0.51},
             {{ex + 0.9, ey + 0.5, 1}, 0.99, 0.51},
             {{ex + 0.9, ey + 0.5, 2}, 0.99, 0.99},
             {{ex + 0.1, ey + 0.5, 2}, 0.51, 0.99}},
            &exit);
    AddQuad(&scene,
            {{{ex + 0.9, ey + 0.5, 1}, 0.99, 0.51},
             {{ex + 0.1, ey + 0.5, 1}, 0.51, 0.51},
             {{ex + 0.1, ey + 0.5, 2}, 0.51, 0.99},
             {{ex + 0.9, ey + 0.5, 2}, 0.99, 0.99}},
            &exit);
    return scene;
}

// The floor: dark slate with faint lines along the cell edges.
Rgba ShadeFloor(double x, double y)
{
    double fx = x - std::floor(x);
    double fy = y - std::floor(y);
    double line = std::fmin(std::fmin(fx, 1.0 - fx), std::fmin(fy, 1.0 - fy));
    Rgba slate = {0.1, 0.12, 0.17, 1.0};
    return MixColour(Rgba{0.18, 0.21, 0.28, 1.0}, slate, SmoothStep(0.0, 0.04, line));
}

Camera MakeCamera()
{
    Camera camera;
    camera.eye = {0.8, -9.0, 10.0};
    Vec3 target = {0.1, -0.2, 0.0};
    camera.forward = Normalise(Sub(target, camera.eye));
    camera.right = Normalise(Cross(camera.forward, Vec3{0.0, 0.0, 1.0}));
    camera.up = Cross(camera.right, camera.forward);
    // Pixels are shown a little narrower than high (3.6 units over 512, 3.0 over 400).
    double pixelAspect = (PICTURE_UNITS_Y / PICTURE_HEIGHT) / (PICTURE_UNITS_X / PICTURE_WIDTH);
    camera.focusY = 420.0 * SUPERSAMPLE;
    camera.focusX = camera.focusY * pixelAspect;
    camera.centreX = PICTURE_WIDTH * SUPERSAMPLE * 0.5;
    camera.centreY = PICTURE_HEIGHT * SUPERSAMPLE * 0.5;
    return camera;
}

struct Projected
{
    double x, y, inverseDepth, s, t;
};

Projected Project(const Camera& camera, const Vertex& vertex)
{
    Vec3 relative = Sub(vertex.position, camera.eye);
    double depth = Dot(relative, camera.forward);
    return {camera.centreX + camera.focusX * Dot(relative, camera.right) / depth,
            camera.centreY + camera.focusY * Dot(relative, camera.up) / depth, 1.0 / depth,
            vertex.s / depth, vertex.t / depth};
}

void RasteriseTriangle(SampleBuffer& buffer, const Camera& camera, const Triangle& triangle)
{
    Projected p[3];
    for (int i = 0; i < 3; ++i)
    {
        p[i] = Project(camera, triangle.corners[i]);
    }
    double area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
    if (area <= 0.0)
    {
        return; // seen from behind, as GL culls it
    }
    int x0 = static_cast<int>(std::floor(std::fmin(p[0].x, std::fmin(p[1].x, p[2].x))));
    int x1 = static_cast<int>(std::ceil(std::fmax(p[0].x, std::fmax(p[1].x, p[2].x))));
    int y0 = static_cast<int>(std::floor(std::fmin(p[0].y, std::fmin(p[1].y, p[2].y))));
    int y1 = static_cast<int>(std::ceil(std::fmax(p[0].y, std::fmax(p[1].y, p[2].y))));
    x0 = x0 < 0 ? 0 : x0;
    y0 = y0 < 0 ? 0 : y0;
    x1 = x1 > buffer.width ? buffer.width : x1;
    y1 = y1 > buffer.height ? buffer.height : y1;
    for (int y = y0; y < y1; ++y)
    {
        for (int x = x0; x < x1; ++x)
        {
            double px = x + 0.5;
            double py = y + 0.5;
            double w0 = ((p[1].x - px) * (p[2].y - py) - (p[2].x - px) * (p[1].y - py)) / area;
            double w1 = ((p[2].x - px) * (p[0].y - py) - (p[0].x - px) * (p[2].y - py)) / area;
            double w2 = 1.0 - w0 - w1;
            if (w0 < 0.0 || w1 < 0.0 || w2 < 0.0)
            {
                continue;
            }
            double inverseDepth =
                w0 * p[0].inverseDepth + w1 * p[1].inverseDepth + w2 * p[2].inverseDepth;
            size_t index = static_cast<size_t>(y * buffer.width + x);
            if (inverseDepth <= buffer.depth[index])
            {
                continue;
            }
            double s = (w0 * p[0].s + w1 * p[1].s + w2 * p[2].s) / inverseDepth;
            double t = (w0 * p[0].t + w1 * p[1].t + w2 * p[2].t) / inverseDepth;
            buffer.depth[index] = inverseDepth;
            buffer.colour[index] =
                triangle.atlas != nullptr ? SampleCanvas(*triangle.atlas, s, t) : ShadeFloor(s, t);
            buffer.colour[index].a = 1.0;
        }
    }
}

void PaintPicture(Canvas& atlas, const Canvas& wall, const Canvas& marker, const Canvas& exit)
{
    Camera camera = MakeCamera();
    SampleBuffer buffer = {PICTURE_WIDTH * SUPERSAMPLE, PICTURE_HEIGHT * SUPERSAMPLE, {}, {}};
    buffer.colour.assign(static_cast<size_t>(buffer.width * buffer.height), Rgba{0, 0, 0, 0});
    buffer.depth.assign(buffer.colour.size(), 0.0);
    for (const Triangle& triangle : BuildScene(wall, marker, exit))
    {
        RasteriseTriangle(buffer, camera, triangle);
    }
    const double samples = SUPERSAMPLE * SUPERSAMPLE;
    for (int y = 0; y < PICTURE_HEIGHT; ++y)
    {
        for (int x = 0; x < PICTURE_WIDTH; ++x)
        {
            // A deep blue glow behind the scene; the picture fades out toward its border so it
            // settles into the black splash screen without an edge.
            double dx = (x + 0.5) / PICTURE_WIDTH - 0.5;
            double dy = (y + 0.5) / PICTURE_HEIGHT - 0.5;
            double edge = std::fmin(0.5 - std::fabs(dx), 0.5 - std::fabs(dy));
            double fade = SmoothStep(0.006, 0.1, edge);
            double glow = 1.0 - SmoothStep(0.0, 0.62, std::sqrt(dx * dx + dy * dy));
            Rgba pixel = {0.04, 0.07, 0.16, 0.85 * glow};
            double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
            for (int sy = 0; sy < SUPERSAMPLE; ++sy)
            {
                for (int sx = 0; sx < SUPERSAMPLE; ++sx)
                {
                    const Rgba& c = buffer.colour[static_cast<size_t>(
                        (y * SUPERSAMPLE + sy) * buffer.width + x * SUPERSAMPLE + sx)];
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            if (a > 0.0)
            {
                Rgba scene = {r / a, g / a, b / a, 1.0};
                double cover = a / samples;
                double kept = pixel.a * (1.0 - cover);
                double alpha = cover + kept;
                pixel = {(scene.r * cover + pixel.r * kept) / alpha,
                         (scene.g * cover + pixel.g * kept) / alpha,
                         (scene.b * cover + pixel.b * kept) / alpha, alpha};
            }
            pixel.a *= fade;
            PixelAt(atlas, x, y) = pixel;
        }
    }
}

} // namespace

Canvas MakeSplashAtlas(const Canvas& wall, const Canvas& marker, const Canvas& exit)
{
    Canvas atlas = MakeCanvas(SPLASH_SIDE, SPLASH_SIDE, Rgba{0.04, 0.07, 0.16, 0.0});
    PaintPicture(atlas, wall, marker, exit);
    PaintBanner(atlas);
    return atlas;
}
