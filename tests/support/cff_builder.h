#pragma once
// A small CFF and CFF2 writer for tests: charstrings from numbers and
// operators, INDEXes, DICTs with fixed-width offsets, and the OpenType
// tables around a CFF2 font that FreeType needs to vary it.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "outline/cff.h"
#include "outline/charstring.h"
#include "support/ttf_builder.h"

namespace cff {

using ttf::ByteVector;
using ttf::Bytes;

// A charstring or DICT body: cs.n(100).n(-20).op(RMoveTo)
struct Code {
    Code& n(int v)
    {
        if (v >= -107 && v <= 107)
            b.u8(std::uint8_t(v + 139));
        else
            b.u8(28).i16(std::int16_t(v));
        return *this;
    }
    Code& fixed(double v) { b.u8(255).u32(std::uint32_t(std::int32_t(v * 65536))); return *this; }
    Code& op(int o)
    {
        if (o >= 1200)
            b.u8(12).u8(std::uint8_t(o - 1200));
        else
            b.u8(std::uint8_t(o));
        return *this;
    }
    Code& ns(std::initializer_list<int> values)
    {
        for (int v : values)
            n(v);
        return *this;
    }
    Code& raw(std::initializer_list<std::uint8_t> bytes)
    {
        for (auto v : bytes)
            b.u8(v);
        return *this;
    }
    // A DICT operand always 5 bytes long, so offsets can be filled in later.
    Code& offset(std::uint32_t v) { b.u8(29).u32(v); return *this; }
    ByteVector bytes() const { return b.data; }
    Bytes b;
};

inline ByteVector index(const std::vector<ByteVector>& items, bool cff2 = false)
{
    Bytes b;
    if (cff2)
        b.u32(std::uint32_t(items.size()));
    else
        b.u16(std::uint16_t(items.size()));
    if (items.empty())
        return b.data;
    b.u8(4); // offSize
    std::uint32_t at = 1;
    b.u32(at);
    for (const ByteVector& item : items)
        b.u32(at += std::uint32_t(item.size()));
    for (const ByteVector& item : items)
        b.append(item);
    return b.data;
}

struct FontDesign {
    std::vector<ByteVector> charStrings;
    std::vector<ByteVector> globalSubrs;
    std::vector<std::vector<ByteVector>> localSubrs{{}}; // per Font DICT; more than one: CID-keyed
    std::vector<std::uint8_t> fdOfGlyph;                  // CID-keyed: written as FDSelect format 3
    std::vector<std::uint16_t> charset;                   // SIDs of glyphs 1..; empty: no charset
    std::vector<std::string> strings;                     // the String INDEX
    ByteVector variationStore;                            // CFF2
};

// Private DICTs (with their Subrs right after them) from `at`, and their DICT entries to point at them.
inline ByteVector privates(const FontDesign& d, std::uint32_t at, std::vector<ByteVector>& privateOps)
{
    Bytes out;
    for (const auto& subrs : d.localSubrs) {
        Code priv;
        if (subrs.empty())
            priv.n(0).op(21); // nominalWidthX
        else
            priv.offset(6).op(19); // Subrs right after this 6-byte DICT
        const std::uint32_t size = std::uint32_t(priv.b.size());
        privateOps.push_back(Code().offset(size).offset(at + std::uint32_t(out.size())).op(18).bytes());
        out.append(priv.bytes());
        if (!subrs.empty())
            out.append(index(subrs, !d.variationStore.empty()));
    }
    return out.data;
}

inline ByteVector fdSelect3(const std::vector<std::uint8_t>& fdOfGlyph)
{
    Bytes ranges;
    int count = 0;
    for (std::size_t g = 0; g < fdOfGlyph.size(); ++g)
        if (g == 0 || fdOfGlyph[g] != fdOfGlyph[g - 1]) {
            ranges.u16(std::uint16_t(g)).u8(fdOfGlyph[g]);
            ++count;
        }
    return Bytes().u8(3).u16(std::uint16_t(count)).append(ranges.data).u16(std::uint16_t(fdOfGlyph.size())).data;
}

// The Top DICT's entries for everything after the header's INDEXes, laid
// out from `at`: [charset] [FDSelect] CharStrings [FDArray] Private DICTs.
inline ByteVector laidOut(const FontDesign& d, std::uint32_t at, Code& top)
{
    const bool cff2 = !d.variationStore.empty();
    const bool cid = cff2 || d.localSubrs.size() > 1 || !d.fdOfGlyph.empty();
    Bytes body;
    auto here = [&] { return at + std::uint32_t(body.size()); };
    if (cff2) {
        top.offset(here()).op(24);
        body.u16(std::uint16_t(d.variationStore.size())).append(d.variationStore);
    }
    if (!d.charset.empty()) {
        top.offset(here()).op(15);
        body.u8(0);
        for (std::uint16_t sid : d.charset)
            body.u16(sid);
    }
    if (!d.fdOfGlyph.empty()) {
        top.offset(here()).op(1237);
        body.append(fdSelect3(d.fdOfGlyph));
    }
    top.offset(here()).op(17);
    body.append(index(d.charStrings, cff2));
    std::vector<ByteVector> privateOps;
    const std::uint32_t fdArrayAt = here();
    std::uint32_t fdArraySize = 0;
    if (cid) { // the FDArray's size does not depend on where the Private DICTs go
        std::vector<ByteVector> sizing;
        privates(d, 0, sizing);
        fdArraySize = std::uint32_t(index(sizing, cff2).size());
        top.offset(fdArrayAt).op(1236);
    }
    const ByteVector privateBytes = privates(d, fdArrayAt + fdArraySize, privateOps);
    if (cid)
        body.append(index(privateOps, cff2));
    else
        top.b.append(privateOps.front());
    body.append(privateBytes);
    return body.data;
}

// A CFF table: header, Name, Top DICT, String and Global Subr INDEXes, then the rest.
inline ByteVector cffTable(const FontDesign& d)
{
    std::vector<ByteVector> strings;
    for (const std::string& s : d.strings)
        strings.emplace_back(s.begin(), s.end());
    const bool cid = d.localSubrs.size() > 1 || !d.fdOfGlyph.empty();
    auto topFor = [&](std::uint32_t at, ByteVector& body) {
        Code top;
        if (cid)
            top.offset(391).offset(392).n(0).op(1230); // ROS: the first two strings, supplement 0
        body = laidOut(d, at, top);
        return top.bytes();
    };
    ByteVector body;
    const ByteVector name = {'T', 'e', 's', 't'};
    const std::size_t before = 4 + index({name}).size() + index(strings).size() + index(d.globalSubrs).size();
    const std::size_t topSize = index({topFor(0, body)}).size();
    const ByteVector top = topFor(std::uint32_t(before + topSize), body);
    return Bytes().u8(1).u8(0).u8(4).u8(4).append(index({name})).append(index({top})).append(index(strings))
        .append(index(d.globalSubrs)).append(body).data;
}

// A CFF2 table: header, Top DICT, Global Subr INDEX, then the rest.
inline ByteVector cff2Table(const FontDesign& d)
{
    ByteVector body;
    auto topFor = [&](std::uint32_t at) {
        Code top;
        body = laidOut(d, at, top);
        return top.bytes();
    };
    const std::size_t topSize = topFor(0).size();
    const ByteVector top = topFor(std::uint32_t(5 + topSize + index(d.globalSubrs, true).size()));
    return Bytes().u8(2).u8(0).u8(5).u16(std::uint16_t(top.size())).append(top)
        .append(index(d.globalSubrs, true)).append(body).data;
}

// An item variation store of one-axis regions (start, peak, end in F2Dot14
// units of 1/16384), and per item variation data the regions it uses.
inline ByteVector variationStore(const std::vector<std::vector<std::array<std::int16_t, 3>>>& regions,
                                 const std::vector<std::vector<std::uint16_t>>& dataRegions)
{
    const std::uint16_t axes = regions.empty() ? 0 : std::uint16_t(regions.front().size());
    Bytes list;
    list.u16(axes).u16(std::uint16_t(regions.size()));
    for (const auto& region : regions)
        for (const auto& axis : region)
            list.i16(axis[0]).i16(axis[1]).i16(axis[2]);
    Bytes b;
    const std::uint32_t listAt = 8 + 4 * std::uint32_t(dataRegions.size());
    b.u16(1).u32(listAt).u16(std::uint16_t(dataRegions.size()));
    std::uint32_t dataAt = listAt + std::uint32_t(list.size());
    for (const auto& data : dataRegions) {
        b.u32(dataAt);
        dataAt += 6 + 2 * std::uint32_t(data.size());
    }
    b.append(list.data);
    for (const auto& data : dataRegions) {
        b.u16(0).u16(0).u16(std::uint16_t(data.size()));
        for (std::uint16_t r : data)
            b.u16(r);
    }
    return b.data;
}

// fvar with axes of (min, default, max) in whole design units, no instances.
inline ByteVector fvarTable(const std::vector<std::array<int, 3>>& axes)
{
    Bytes b;
    b.u16(1).u16(0).u16(16).u16(2).u16(std::uint16_t(axes.size())).u16(20).u16(0).u16(std::uint16_t(4 + 4 * axes.size()));
    int n = 0;
    for (const auto& axis : axes)
        b.tag(n++ == 0 ? "wght" : "wdth").u32(std::uint32_t(axis[0] << 16)).u32(std::uint32_t(axis[1] << 16))
            .u32(std::uint32_t(axis[2] << 16)).u16(0).u16(256);
    return b.data;
}

// An OpenType font around a CFF or CFF2 table (fvar for a varied one); 'A' is glyph 1.
inline ByteVector otfFont(const ByteVector& table, bool cff2, std::size_t glyphs, const ByteVector& fvar = {})
{
    std::vector<ttf::Table> tables;
    tables.push_back({cff2 ? "CFF2" : "CFF ", table});
    tables.push_back({"cmap", ttf::cmapTable({{3, 1, ttf::cmapFormat4(std::map<std::uint16_t, std::uint16_t>{{65, 1}})}})});
    if (!fvar.empty())
        tables.push_back({"fvar", fvar});
    tables.push_back({"head", ttf::headTable(0)});
    tables.push_back({"hhea", ttf::hheaTable(1)});
    tables.push_back({"hmtx", ttf::hmtxTable({{500, 0}}, std::vector<std::int16_t>(glyphs - 1, 0))});
    tables.push_back({"maxp", Bytes().u32(0x00005000).u16(std::uint16_t(glyphs)).data});
    tables.push_back({"post", ttf::post30Table()});
    return ttf::assemble(tables, 0x4F54544F); // 'OTTO'
}

// Two glyphs in two Font DICTs, each with its own subroutines; blends of one
// region (vsindex 0) and of two (vsindex 1).
inline FontDesign variedDesign()
{
    FontDesign d;
    d.variationStore = variationStore({{{0, 16384, 16384}}, {{-16384, -16384, 0}}, {{0, 8192, 16384}}}, {{0}, {1, 2}});
    d.localSubrs = {{Code().ns({100, 20, 1}).op(Blend).n(0).op(RLineTo).bytes()},
                    {Code().ns({0, 50, -30, 25, 1}).op(Blend).op(RLineTo).bytes()}};
    d.charStrings = {
        Code().ns({10, 10}).op(RMoveTo).n(-107).op(CallSubr).ns({0, 100, 40, -10, 2}).op(Blend).op(RLineTo).bytes(),
        Code().n(1).op(VsIndex).ns({20, 30, 10, -10, 1}).op(Blend).op(RMoveTo).n(-107).op(CallSubr)
            .ns({50, 0, 50, 50, 0, 50, 12, -6, 0, 0, 0, 0, 0, 0, 0, 0, 8, 4, 0, 0, 6}).op(Blend).op(RRCurveTo).bytes(),
    };
    d.fdOfGlyph = {0, 1};
    return d;
}

} // namespace cff
