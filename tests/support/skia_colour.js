// Colour glyphs drawn by Skia, the reference renderer for COLRv1, through
// @napi-rs/canvas (which bundles it): node skia_colour.js FONT JOBS.json.
// JOBS: {"ppem": P, "margin": M, "foreground": "#RRGGBB",
//        "glyphs": [{"code": C, "left": L, "top": T, "width": W, "rows": R, "out": "x.png"}]}
// Each glyph is drawn by its character C into a transparent picture of
// (W + 2M) x (R + 2M) pixels, its origin M - L pixels from the left and
// M + T from the top: the picture placed like FreeType's bitmaps, with M
// pixels more on every side to see what is painted outside it.
'use strict';
const fs = require('fs');
const { createCanvas, GlobalFonts } = require('@napi-rs/canvas');

const [font, jobsPath] = process.argv.slice(2);
const jobs = JSON.parse(fs.readFileSync(jobsPath, 'utf8'));
const family = 'LumaroColourReference';
if (!GlobalFonts.registerFromPath(font, family)) {
    console.error('skia_colour: Skia cannot read ' + font);
    process.exit(1);
}
const m = jobs.margin;
for (const g of jobs.glyphs) {
    const canvas = createCanvas(g.width + 2 * m, g.rows + 2 * m);
    const ctx = canvas.getContext('2d');
    ctx.font = jobs.ppem + 'px ' + family;
    ctx.fillStyle = jobs.foreground;
    ctx.fillText(String.fromCodePoint(g.code), m - g.left, m + g.top);
    fs.writeFileSync(g.out, canvas.encodeSync('png'));
}
