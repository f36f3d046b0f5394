// The non-separable blend modes Qt does not have, over premultiplied ARGB:
// the backdrop and source colours unpremultiplied for the blend function,
// the result Co = (1 - ab) Cs + (1 - as) Cb + as ab B(Cb, Cs) premultiplied,
// ao = as + ab - as ab.
#include <algorithm>
#include <cmath>

#include "platform/colour_picture.h"

namespace {

struct Colour {
    double r = 0, g = 0, b = 0;
};

double lum(Colour c) { return 0.3 * c.r + 0.59 * c.g + 0.11 * c.b; }

Colour clipColour(Colour c)
{
    const double l = lum(c);
    const double n = std::min({c.r, c.g, c.b}), x = std::max({c.r, c.g, c.b});
    const auto each = [&](double (*f)(double, double, double, double), Colour in) {
        return Colour{f(in.r, l, n, x), f(in.g, l, n, x), f(in.b, l, n, x)};
    };
    if (n < 0)
        c = each([](double v, double l, double n, double) { return l + (v - l) * l / (l - n); }, c);
    if (x > 1)
        c = each([](double v, double l, double, double x) { return l + (v - l) * (1 - l) / (x - l); }, c);
    return c;
}

Colour setLum(Colour c, double l)
{
    const double d = l - lum(c);
    return clipColour({c.r + d, c.g + d, c.b + d});
}

double sat(Colour c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

Colour setSat(Colour c, double s)
{
    double* v[] = {&c.r, &c.g, &c.b};
    std::sort(std::begin(v), std::end(v), [](double* a, double* b) { return *a < *b; });
    double &low = *v[0], &mid = *v[1], &high = *v[2];
    if (high > low) {
        mid = (mid - low) * s / (high - low);
        high = s;
    } else {
        mid = high = 0;
    }
    low = 0;
    return c;
}

Colour blend(Colour b, Colour s, CompositeMode mode)
{
    switch (mode) {
    case CompositeMode::HslHue: return setLum(setSat(s, sat(b)), lum(b));
    case CompositeMode::HslSaturation: return setLum(setSat(b, sat(s)), lum(b));
    case CompositeMode::HslColor: return setLum(s, lum(b));
    default: return setLum(b, lum(s));
    }
}

Colour unpremultiplied(QRgb p, double a)
{
    return a > 0 ? Colour{qRed(p) / 255.0 / a, qGreen(p) / 255.0 / a, qBlue(p) / 255.0 / a} : Colour{};
}

} // namespace

QImage BlendHsl(const QImage& backdrop, const QImage& source, CompositeMode mode)
{
    QImage out(backdrop.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        const auto* bl = reinterpret_cast<const QRgb*>(backdrop.constScanLine(y));
        const auto* sl = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* ol = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const double ab = qAlpha(bl[x]) / 255.0, as = qAlpha(sl[x]) / 255.0;
            const Colour mixed = blend(unpremultiplied(bl[x], ab), unpremultiplied(sl[x], as), mode);
            const auto channel = [&](int cb, int cs, double m) {
                const double v = (1 - ab) * cs / 255.0 + (1 - as) * cb / 255.0 + as * ab * std::clamp(m, 0.0, 1.0);
                return int(std::lround(std::clamp(v, 0.0, 1.0) * 255));
            };
            ol[x] = qRgba(channel(qRed(bl[x]), qRed(sl[x]), mixed.r), channel(qGreen(bl[x]), qGreen(sl[x]), mixed.g),
                          channel(qBlue(bl[x]), qBlue(sl[x]), mixed.b),
                          int(std::lround(std::clamp(as + ab - as * ab, 0.0, 1.0) * 255)));
        }
    }
    return out;
}
