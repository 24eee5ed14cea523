// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// Build-time tool: writes one of the program's XPM icon images as PNG, for
// the desktop's icon theme.
//   xpm2png IN.xpm OUT.png

#include <QImage>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: xpm2png IN.xpm OUT.png\n", stderr);
        return 2;
    }
    const QImage image(QString::fromLocal8Bit(argv[1]));
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "xpm2png: cannot convert %s\n", argv[1]);
        return 1;
    }
    return 0;
}
