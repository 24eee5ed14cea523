// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Build-time tool: packs the program's XPM icon images into a Windows .ico.
//   xpm2ico OUT.ico IMAGE.xpm...
// Each image keeps its own colour count: up to 2 colours are stored as a
// 1-bit bitmap, up to 16 as a 4-bit one; "None" pixels go into the mask.
// Only the XPM this project draws is understood: one character per pixel,
// colours given as #RRGGBB or None.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator<(const Rgb &o) const { return std::tie(r, g, b) < std::tie(o.r, o.g, o.b); }
    bool operator==(const Rgb &o) const = default;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> palette;
    std::vector<int> pixels; // palette index, or -1 for transparent
};

std::vector<std::string> quotedStrings(const std::string &path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<std::string> strings;
    std::string line;
    while (std::getline(in, line)) {
        const auto open = line.find('"');
        const auto close = line.rfind('"');
        if (open != std::string::npos && close > open)
            strings.push_back(line.substr(open + 1, close - open - 1));
    }
    return strings;
}

Image readXpm(const std::string &path)
{
    const std::vector<std::string> strings = quotedStrings(path);
    if (strings.empty())
        throw std::runtime_error(path + ": no XPM header");
    Image image;
    int colours = 0;
    int charsPerPixel = 0;
    std::istringstream header(strings[0]);
    header >> image.width >> image.height >> colours >> charsPerPixel;
    if (charsPerPixel != 1 || image.width <= 0 || image.height <= 0 ||
        strings.size() < 1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(image.height))
        throw std::runtime_error(path + ": unsupported XPM");

    std::map<char, int> indexOf;
    for (int i = 0; i < colours; ++i) {
        const std::string &entry = strings[1 + static_cast<std::size_t>(i)];
        const std::string value = entry.substr(entry.rfind(' ') + 1);
        if (value == "None") {
            indexOf[entry[0]] = -1;
            continue;
        }
        const auto rgb = std::stoul(value.substr(1), nullptr, 16);
        image.palette.push_back({static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                 static_cast<std::uint8_t>(rgb)});
        indexOf[entry[0]] = static_cast<int>(image.palette.size()) - 1;
    }
    for (int y = 0; y < image.height; ++y) {
        const std::string &row = strings[1 + static_cast<std::size_t>(colours) + static_cast<std::size_t>(y)];
        for (int x = 0; x < image.width; ++x)
            image.pixels.push_back(indexOf.at(row.at(static_cast<std::size_t>(x))));
    }
    return image;
}

void put16(std::vector<std::uint8_t> &out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// The DIB an .ico entry holds: header, palette, colour rows, mask rows, all
// bottom-up with rows padded to 32 bits.
std::vector<std::uint8_t> dib(const Image &image, int bits)
{
    const int colours = 1 << bits;
    std::vector<std::uint8_t> out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(image.width));
    put32(out, static_cast<std::uint32_t>(image.height * 2)); // colour rows and mask rows
    put16(out, 1);
    put16(out, static_cast<unsigned>(bits));
    for (int i = 0; i < 6; ++i)
        put32(out, 0);
    for (int i = 0; i < colours; ++i) {
        const Rgb rgb = i < static_cast<int>(image.palette.size()) ? image.palette[static_cast<std::size_t>(i)] : Rgb{};
        out.insert(out.end(), {rgb.b, rgb.g, rgb.r, 0});
    }
    const auto rowBytes = [](int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; };
    for (int pass = 0; pass < 2; ++pass) {
        const int perPixel = pass == 0 ? bits : 1;
        for (int y = image.height - 1; y >= 0; --y) {
            std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes(image.width, perPixel)), 0);
            for (int x = 0; x < image.width; ++x) {
                const int index = image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                                               static_cast<std::size_t>(x)];
                const int value = pass == 0 ? (index < 0 ? 0 : index) : (index < 0 ? 1 : 0);
                const int bit = x * perPixel;
                row[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(value << (8 - perPixel - bit % 8));
            }
            out.insert(out.end(), row.begin(), row.end());
        }
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::cerr << "usage: xpm2ico OUT.ico IMAGE.xpm...\n";
        return 2;
    }
    try {
        std::vector<Image> images;
        for (int i = 2; i < argc; ++i)
            images.push_back(readXpm(argv[i]));

        std::vector<std::uint8_t> file;
        put16(file, 0);
        put16(file, 1); // icon
        put16(file, static_cast<unsigned>(images.size()));
        std::vector<std::vector<std::uint8_t>> bitmaps;
        auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
        for (const Image &image : images) {
            if (image.palette.size() > 16)
                throw std::runtime_error("more than 16 colours");
            const int bits = image.palette.size() <= 2 ? 1 : 4;
            bitmaps.push_back(dib(image, bits));
            file.push_back(static_cast<std::uint8_t>(image.width));
            file.push_back(static_cast<std::uint8_t>(image.height));
            file.push_back(static_cast<std::uint8_t>(1 << bits));
            file.push_back(0);
            put16(file, 1);
            put16(file, static_cast<unsigned>(bits));
            put32(file, static_cast<std::uint32_t>(bitmaps.back().size()));
            put32(file, offset);
            offset += static_cast<std::uint32_t>(bitmaps.back().size());
        }
        for (const auto &bitmap : bitmaps)
            file.insert(file.end(), bitmap.begin(), bitmap.end());

        std::ofstream out(argv[1], std::ios::binary);
        out.write(reinterpret_cast<const char *>(file.data()), static_cast<std::streamsize>(file.size()));
        return out ? 0 : 1;
    } catch (const std::exception &error) {
        std::cerr << "xpm2ico: " << error.what() << "\n";
        return 1;
    }
}
