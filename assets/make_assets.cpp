// make_assets: draws Helvarine's image assets from source code at build time, so that no binary
// image has to live in the repository.
//
// Usage: make_assets OUTDIR
//
// Writes OUTDIR/HAND-M.CUR (the 32x32 hand pointer cursor, Windows .CUR format) and
// OUTDIR/helvarine.png (the 256x256 application icon), and the icon at the sizes of the desktop's
// icon theme, OUTDIR/icons/hicolor/NxN/apps/helvarine.png. Only QtGui raster painting is used and
// no text is drawn, so the program needs neither a QGuiApplication nor a platform plugin.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPoint>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

// ---------------------------------------------------------------------------------------------
// Hand pointer cursor
// ---------------------------------------------------------------------------------------------

constexpr int kCursorSize = 32;

// The cursor as pixel art: '.' transparent, 'X' black outline, 'o' white fill.
// The hotspot is the top of the index finger (see cursorHotspot()).
constexpr std::array<std::string_view, kCursorSize> kHandPixels = {
    ".......XXX......................",  //  0
    "......XoooX.....................",  //  1
    "......XoooX.....................",  //  2
    "......XoooX.....................",  //  3
    "......XoooX.....................",  //  4
    "......XoooX.....................",  //  5
    "......XoooX.....................",  //  6
    "......XoooX.....................",  //  7
    "......XoooXXXX..................",  //  8
    "......XoooXoooX.................",  //  9
    "......XoooXoooXXXX..............",  // 10
    "......XoooXoooXoooX.............",  // 11
    "......XoooXoooXoooXXX...........",  // 12
    "......XoooXoooXoooXooX..........",  // 13
    "..XX..XoooXoooXoooXooX..........",  // 14
    ".XooX.XoooXoooXoooXooX..........",  // 15
    ".XoooXXoooXoooXoooXooX..........",  // 16
    "..XoooXooooooooooooooX..........",  // 17
    "..XooooooooooooooooooX..........",  // 18
    "...XoooooooooooooooooX..........",  // 19
    "...XoooooooooooooooooX..........",  // 20
    "....XooooooooooooooooX..........",  // 21
    ".....XooooooooooooooX...........",  // 22
    ".....XooooooooooooooX...........",  // 23
    "......XooooooooooooX............",  // 24
    "......XooooooooooooX............",  // 25
    "......XXXXXXXXXXXXXX............",  // 26
    "................................",  // 27
    "................................",  // 28
    "................................",  // 29
    "................................",  // 30
    "................................",  // 31
};

// Every row of the table must be exactly as wide as the cursor.
constexpr bool handRowsHaveCursorWidth() {
    for (std::string_view row : kHandPixels) {
        if (row.size() != kCursorSize) {
            return false;
        }
    }
    return true;
}
static_assert(handRowsHaveCursorWidth(), "each hand row must have 32 characters");

// The hotspot: the middle of the topmost painted run, i.e. the tip of the index finger.
constexpr QPoint cursorHotspot() {
    for (int y = 0; y < kCursorSize; ++y) {
        const std::string_view row = kHandPixels[y];
        const auto first = row.find_first_not_of('.');
        if (first == std::string_view::npos) {
            continue;
        }
        const auto last = row.find_last_not_of('.');
        return QPoint(static_cast<int>((first + last) / 2), y);
    }
    return QPoint(0, 0);
}

// The colour of one pixel-art character.
constexpr QRgb handPixelColour(char c) {
    switch (c) {
        case 'X':
            return qRgba(0, 0, 0, 255);
        case 'o':
            return qRgba(255, 255, 255, 255);
        default:
            return qRgba(0, 0, 0, 0);
    }
}

// Turns the pixel-art table into a non-premultiplied ARGB image.
QImage drawHandCursor() {
    QImage image(kCursorSize, kCursorSize, QImage::Format_ARGB32);
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            image.setPixel(x, y, handPixelColour(kHandPixels[y][x]));
        }
    }
    return image;
}

// Little-endian writers: the file layout is spelled out byte by byte so that it does not depend
// on the host's struct layout or byte order.
void putU8(QByteArray& out, std::uint8_t value) {
    out.append(static_cast<char>(value));
}

void putU16(QByteArray& out, std::uint16_t value) {
    putU8(out, static_cast<std::uint8_t>(value & 0xFF));
    putU8(out, static_cast<std::uint8_t>(value >> 8));
}

void putU32(QByteArray& out, std::uint32_t value) {
    putU16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    putU16(out, static_cast<std::uint16_t>(value >> 16));
}

constexpr std::uint32_t kIconDirSize = 6;
constexpr std::uint32_t kIconDirEntrySize = 16;
constexpr std::uint32_t kBitmapInfoHeaderSize = 40;

// The DIB stored in a .CUR: BITMAPINFOHEADER, the BGRA pixels bottom-up, then the 1-bit AND mask
// bottom-up (1 = transparent). The header's height counts both the colour and the mask rows.
QByteArray cursorDib(const QImage& image) {
    const int width = image.width();
    const int height = image.height();
    QByteArray dib;

    putU32(dib, kBitmapInfoHeaderSize);                   // biSize
    putU32(dib, static_cast<std::uint32_t>(width));       // biWidth
    putU32(dib, static_cast<std::uint32_t>(2 * height));  // biHeight: XOR rows + AND rows
    putU16(dib, 1);                                       // biPlanes
    putU16(dib, 32);                                      // biBitCount
    putU32(dib, 0);                                       // biCompression = BI_RGB
    putU32(dib, 0);                                       // biSizeImage (may be 0 for BI_RGB)
    putU32(dib, 0);                                       // biXPelsPerMeter
    putU32(dib, 0);                                       // biYPelsPerMeter
    putU32(dib, 0);                                       // biClrUsed
    putU32(dib, 0);                                       // biClrImportant

    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            putU8(dib, static_cast<std::uint8_t>(qBlue(pixel)));
            putU8(dib, static_cast<std::uint8_t>(qGreen(pixel)));
            putU8(dib, static_cast<std::uint8_t>(qRed(pixel)));
            putU8(dib, static_cast<std::uint8_t>(qAlpha(pixel)));
        }
    }

    // Mask rows are padded to a multiple of 32 bits; the leftmost pixel is the high bit.
    const int maskRowBytes = ((width + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(maskRowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(image.pixel(x, y)) == 0) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        dib.append(row);
    }
    return dib;
}

// A complete single-image .CUR file: ICONDIR, one ICONDIRENTRY, then the DIB.
QByteArray encodeCursor(const QImage& image, QPoint hotspot) {
    const QByteArray dib = cursorDib(image);
    QByteArray file;

    putU16(file, 0);  // idReserved
    putU16(file, 2);  // idType = cursor
    putU16(file, 1);  // idCount

    // Width and height of 256 would be stored as 0; the cursor is always smaller.
    putU8(file, static_cast<std::uint8_t>(image.width()));   // bWidth
    putU8(file, static_cast<std::uint8_t>(image.height()));  // bHeight
    putU8(file, 0);                                          // bColorCount
    putU8(file, 0);                                          // bReserved
    putU16(file, static_cast<std::uint16_t>(hotspot.x()));   // hotspot x (icons: wPlanes)
    putU16(file, static_cast<std::uint16_t>(hotspot.y()));   // hotspot y (icons: wBitCount)
    putU32(file, static_cast<std::uint32_t>(dib.size()));    // dwBytesInRes
    putU32(file, kIconDirSize + kIconDirEntrySize);          // dwImageOffset

    file.append(dib);
    return file;
}

// ---------------------------------------------------------------------------------------------
// Application icon
// ---------------------------------------------------------------------------------------------

constexpr int kIconSize = 256;

// The background: a rounded square in a calm blue, lighter at the top.
void paintTile(QPainter& painter) {
    const QRectF tile(8, 8, 240, 240);
    QLinearGradient gradient(tile.topLeft(), tile.bottomLeft());
    gradient.setColorAt(0.0, QColor(0x4A, 0x8F, 0xD8));
    gradient.setColorAt(1.0, QColor(0x2A, 0x62, 0xB0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(tile, 52, 52);
}

// The case file: a folder with a tab, a sheet of paper sticking out, and the front flap.
void paintFolder(QPainter& painter) {
    painter.setPen(Qt::NoPen);

    // Back of the folder, including the tab on its upper left.
    QPainterPath back;
    back.addRoundedRect(QRectF(48, 78, 160, 114), 12, 12);
    back.addRoundedRect(QRectF(48, 60, 72, 32), 10, 10);
    back.setFillRule(Qt::WindingFill);
    painter.setBrush(QColor(0xD6, 0xE6, 0xF7));
    painter.drawPath(back.simplified());

    // A sheet of paper with a few grey "lines of text" (plain bars, no font needed).
    const QRectF sheet(86, 56, 108, 100);
    painter.setBrush(QColor(0xFF, 0xFF, 0xFF));
    painter.drawRoundedRect(sheet, 6, 6);
    painter.setBrush(QColor(0xB8, 0xC6, 0xD6));
    const std::array<qreal, 3> lineWidths = {72, 80, 52};
    for (std::size_t i = 0; i < lineWidths.size(); ++i) {
        painter.drawRoundedRect(QRectF(100, 72 + 16.0 * i, lineWidths[i], 8), 4, 4);
    }

    // Front flap, white with a soft shadow line at its top edge.
    const QRectF front(48, 104, 160, 96);
    painter.setBrush(QColor(0x1E, 0x4E, 0x92, 0x50));
    painter.drawRoundedRect(front.translated(0, -3), 12, 12);
    painter.setBrush(QColor(0xFF, 0xFF, 0xFF));
    painter.drawRoundedRect(front, 12, 12);

    // A label strip on the flap, as on a paper case file.
    painter.setBrush(QColor(0xD6, 0xE6, 0xF7));
    painter.drawRoundedRect(QRectF(68, 124, 64, 14), 7, 7);
}

// A round speech bubble with a check mark: the customer's case has been answered.
void paintAnsweredBubble(QPainter& painter) {
    const QPointF centre(180, 182);
    const qreal radius = 38;

    QPainterPath bubble;
    bubble.addEllipse(centre, radius, radius);
    QPainterPath tail;
    tail.moveTo(centre + QPointF(-radius * 0.55, radius * 0.55));
    tail.lineTo(centre + QPointF(-radius * 1.05, radius * 1.0));
    tail.lineTo(centre + QPointF(-radius * 0.05, radius * 0.78));
    tail.closeSubpath();
    bubble = bubble.united(tail);

    // A ring in the tile colour separates the bubble from the folder behind it.
    painter.setPen(QPen(QColor(0x2F, 0x69, 0xB8), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(QColor(0x2E, 0xB8, 0x72));
    painter.drawPath(bubble);

    QPainterPath check;
    check.moveTo(centre + QPointF(-17, 1));
    check.lineTo(centre + QPointF(-5, 13));
    check.lineTo(centre + QPointF(18, -12));
    painter.setPen(QPen(Qt::white, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(check);
}

// The icon at a size of pixels, drawn on the 256-pixel grid scaled down.
QImage drawAppIcon(int size = kIconSize) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / double(kIconSize), size / double(kIconSize));
    paintTile(painter);
    paintFolder(painter);
    paintAnsweredBubble(painter);
    painter.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------------------------

void reportError(const QString& message) {
    std::fprintf(stderr, "make_assets: %s\n", qPrintable(message));
}

bool writeFile(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size() || !file.flush()) {
        reportError(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool writePng(const QString& path, const QImage& image) {
    if (!image.save(path, "PNG")) {
        reportError(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets OUTDIR\n");
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(outDir.path())) {
        reportError(QStringLiteral("cannot create directory %1").arg(outDir.path()));
        return 1;
    }

    const bool cursorOk = writeFile(outDir.filePath(QStringLiteral("HAND-M.CUR")),
                                    encodeCursor(drawHandCursor(), cursorHotspot()));
    bool iconOk = writePng(outDir.filePath(QStringLiteral("helvarine.png")), drawAppIcon());
    // The sizes of the desktop's icon theme.
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(size);
        iconOk = QDir(outDir).mkpath(folder) &&
                 writePng(outDir.filePath(folder + QStringLiteral("/helvarine.png")),
                          drawAppIcon(size)) &&
                 iconOk;
    }
    return cursorOk && iconOk ? 0 : 1;
}
