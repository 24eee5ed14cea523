// SPDX-FileCopyrightText: 2026 Quorran developers
// SPDX-License-Identifier: MIT
// The icon at the sizes menus and software centres ask for: the committed PNG
// images are the SVG as rsvg-convert draws it, and the SVG drawn at 32 pixels
// is the 32-pixel image the window and the Windows icon use.

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cstdlib>

namespace {
const QString kIcons = QStringLiteral(QUORRAN_ICON_DIR);

// The SVG drawn at size x size pixels, or a null image when rsvg-convert fails.
QImage rendered(const QTemporaryDir &dir, int size)
{
    const QString out = dir.filePath(QStringLiteral("%1.png").arg(size));
    QProcess rsvg;
    const QString pixels = QString::number(size);
    const QString svg = kIcons + QStringLiteral("/quorran.svg");
    rsvg.start(QStringLiteral("rsvg-convert"),
               {QStringLiteral("-w"), pixels, QStringLiteral("-h"), pixels, svg, QStringLiteral("-o"), out});
    if (!rsvg.waitForFinished(30000) || rsvg.exitStatus() != QProcess::NormalExit || rsvg.exitCode() != 0)
        return {};
    return QImage(out);
}

struct Difference {
    int largest = 0;   // the largest difference of one channel, alpha included
    int pixelsOff = 0; // pixels with a channel off by more than the threshold
};

Difference difference(const QImage &a, const QImage &b, int threshold)
{
    const QImage first = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage second = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Difference result;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            const int off = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                      std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            result.largest = std::max(result.largest, off);
            if (off > threshold)
                ++result.pixelsOff;
        }
    }
    return result;
}

// The colours of the opaque pixels that occur at least `least` times.
QSet<QRgb> opaqueColours(const QImage &image, qsizetype least)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QHash<QRgb, qsizetype> counts;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) == 255)
                ++counts[argb.pixel(x, y)];
        }
    }
    QSet<QRgb> colours;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() >= least)
            colours.insert(it.key());
    }
    return colours;
}
} // namespace

class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pngIsTheSvg_data();
    void pngIsTheSvg();
    void svgDrawsThe32PixelImage();

private:
    QTemporaryDir m_dir;
};

void TestIcons::initTestCase()
{
    QVERIFY(m_dir.isValid());
    if (QStandardPaths::findExecutable(QStringLiteral("rsvg-convert")).isEmpty())
        QSKIP("rsvg-convert is not installed (Debian: librsvg2-bin)");
}

void TestIcons::pngIsTheSvg_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("48x48") << 48;
    QTest::newRow("64x64") << 64;
    QTest::newRow("128x128") << 128;
}

void TestIcons::pngIsTheSvg()
{
    QFETCH(int, size);
    const QImage committed(kIcons + QStringLiteral("/quorran-%1.png").arg(size));
    QCOMPARE(committed.size(), QSize(size, size));
    const QImage drawn = rendered(m_dir, size);
    QCOMPARE(drawn.size(), QSize(size, size));
    // Another librsvg may shade an edge slightly differently, no more.
    const Difference off = difference(committed, drawn, 24);
    QVERIFY2(off.pixelsOff == 0,
             qPrintable(QStringLiteral("%1 pixels differ by up to %2; draw it again: rsvg-convert -w %3 -h %3 "
                                       "ui/icons/quorran.svg -o ui/icons/quorran-%3.png")
                            .arg(off.pixelsOff)
                            .arg(off.largest)
                            .arg(size)));
}

void TestIcons::svgDrawsThe32PixelImage()
{
    const QImage image(kIcons + QStringLiteral("/quorran-32.xpm"));
    QCOMPARE(image.size(), QSize(32, 32));
    const QImage drawn = rendered(m_dir, 32);
    QCOMPARE(drawn.size(), QSize(32, 32));
    // The same shapes: only pixels on a slanted edge, which the image draws
    // in steps and the SVG smooths, may come out more than half a shade apart
    // (18 of the 1024 do today; a line one pixel lower makes 66).
    const Difference off = difference(image, drawn, 128);
    QVERIFY2(off.pixelsOff <= 32, qPrintable(QStringLiteral("%1 pixels differ").arg(off.pixelsOff)));

    // The same colours: those that cover at least 1% of the SVG drawn large
    // (edges, smoothed, mix them in small amounts) are the image's own.
    const QSet<QRgb> colours = opaqueColours(image, 1);
    const QImage large = rendered(m_dir, 128);
    QCOMPARE(large.size(), QSize(128, 128));
    QCOMPARE(opaqueColours(large, 128 * 128 / 100), colours);
}

QTEST_GUILESS_MAIN(TestIcons)
#include "tst_icons.moc"
