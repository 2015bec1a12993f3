// Draws the program's pictures and writes the key-map file, all from the key layout table:
//   vornik_resourcegen OUTPUT_DIR
// writes keyboard.png, keymap, buttons/1b.png .. 32b.png and _1.png .. _32.png,
// direction/mimg0.png .. mimg8.png, vornik.png, icons/vornik-N.png and vornik.qrc into OUTPUT_DIR.

#include "KeyLayout.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cstdio>

namespace {

using vornik::layout::kKeyCaps;

QFont labelFont(int pixelSize) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// A raised grey cap: light top and left edges, dark bottom and right edges, label in the middle.
void drawCap(QPainter& p, const QRect& r, const QString& caption) {
    p.fillRect(r, QColor(0x40, 0x40, 0x40));
    const QRect face = r.adjusted(1, 1, -1, -1);
    p.fillRect(face, QColor(0xd8, 0xd8, 0xd8));
    p.setPen(Qt::white);
    p.drawLine(face.topLeft(), face.topRight());
    p.drawLine(face.topLeft(), face.bottomLeft());
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(face.bottomLeft() + QPoint(1, 0), face.bottomRight());
    p.drawLine(face.topRight() + QPoint(0, 1), face.bottomRight());
    p.drawLine(face.bottomLeft() + QPoint(1, -1), face.bottomRight() + QPoint(-1, -1));
    if (caption.isEmpty())
        return;
    // The largest size from 9 pixels down at which the caption fits the cap.
    const QRect text = face.adjusted(1, 1, -2, -2);
    for (int size = 9; size >= 5; --size) {
        p.setFont(labelFont(size));
        if (p.fontMetrics().horizontalAdvance(caption) <= text.width() || size == 5)
            break;
    }
    p.setPen(Qt::black);
    p.drawText(text, Qt::AlignCenter, caption);
}

bool save(const QImage& image, const QString& path) {
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

QImage keyboardPicture() {
    QImage image(vornik::layout::kPictureWidth, vornik::layout::kPictureHeight, QImage::Format_RGB888);
    image.fill(QColor(0xa8, 0xa8, 0xa8));
    QPainter p(&image);
    p.setPen(QColor(0x70, 0x70, 0x70));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    for (const auto& cap : kKeyCaps) {
        const vornik::KeyMapRecord r = vornik::layout::keyRecord(cap);
        drawCap(p, QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)), QString::fromUtf8(cap.caption));
    }
    return image;
}

QImage buttonPicture(int number, bool pressed) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor disc = pressed ? QColor(0xff, 0x20, 0x20) : QColor(0x80, 0x00, 0x00);
    QRadialGradient shade(QPointF(12, 11), 20);
    shade.setColorAt(0, disc.lighter(pressed ? 130 : 150));
    shade.setColorAt(1, disc);
    p.setBrush(shade);
    p.setPen(QPen(QColor(0x30, 0x00, 0x00), 1.5));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    QFont font = labelFont(number < 10 ? 15 : 13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(pressed ? QColor(0xff, 0xff, 0xa0) : QColor(0xf0, 0xf0, 0xf0));
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QString::number(number));
    return image;
}

// mimg0..8: centre, up, down, left, right, up-left, down-left, down-right, up-right.
QImage directionPicture(int index) {
    enum { Up = 1, Down = 2, Left = 4, Right = 8 };
    static const int lit[9] = {0, Up, Down, Left, Right, Up | Left, Down | Left, Down | Right, Up | Right};
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x50, 0x50, 0x50));
    p.drawEllipse(QRectF(13, 13, 6, 6));
    // One arrow pointing up from the centre, turned for each direction.
    const QPolygonF arrow({QPointF(16, 1), QPointF(23, 9), QPointF(19, 9), QPointF(19, 12), QPointF(13, 12),
                           QPointF(13, 9), QPointF(9, 9)});
    const struct {
        int bit;
        double angle;
    } arrows[] = {{Up, 0}, {Right, 90}, {Down, 180}, {Left, 270}};
    for (const auto& a : arrows) {
        p.save();
        p.translate(16, 16);
        p.rotate(a.angle);
        p.translate(-16, -16);
        const bool on = (lit[index] & a.bit) != 0;
        p.setBrush(on ? QColor(0xff, 0x10, 0x10) : QColor(0x48, 0x10, 0x10));
        p.setPen(QPen(QColor(0x20, 0x20, 0x20), 0.8));
        p.drawPolygon(arrow);
        p.restore();
    }
    if (index >= 5) {
        // A yellow mark in the corner between the two lit arrows.
        const int v = lit[index];
        const QPointF corner((v & Left) ? 4 : 28, (v & Up) ? 4 : 28);
        p.setBrush(QColor(0xff, 0xe0, 0x00));
        p.setPen(QPen(QColor(0x60, 0x50, 0x00), 0.8));
        p.drawEllipse(corner, 3.2, 3.2);
    }
    return image;
}

// Drawn on a 64-unit square, scaled to `size` pixels: the same picture at every icon size.
QImage applicationIcon(int size = 64) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    QLinearGradient body(0, 0, 0, 64);
    body.setColorAt(0, QColor(0x2a, 0x5d, 0xb0));
    body.setColorAt(1, QColor(0x12, 0x2a, 0x60));
    p.setBrush(body);
    p.setPen(QPen(QColor(0x08, 0x14, 0x30), 2));
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
    // A stick and a red button: the program's subject.
    p.setBrush(QColor(0xe0, 0xe0, 0xe0));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(12, 40, 40, 12), 5, 5);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawRect(QRectF(20, 22, 5, 20));
    p.setBrush(QColor(0xd0, 0x10, 0x10));
    p.drawEllipse(QRectF(14, 10, 17, 17));
    p.drawEllipse(QRectF(38, 34, 9, 9));
    QFont font = labelFont(20);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(30, 6, 30, 30), Qt::AlignCenter, QStringLiteral("V"));
    return image;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    out.mkpath(QStringLiteral("buttons"));
    out.mkpath(QStringLiteral("direction"));

    bool ok = save(keyboardPicture(), out.filePath(QStringLiteral("keyboard.png")));
    const auto records = vornik::layout::keyRecords();
    const std::string keymap = vornik::serializeKeyMap(records.data(), static_cast<int>(records.size()));
    ok &= writeFile(out.filePath(QStringLiteral("keymap")),
                    QByteArray(keymap.data(), static_cast<qsizetype>(keymap.size())));

    QString qrc;
    QTextStream xml(&qrc);
    xml << "<!DOCTYPE RCC>\n<!-- Written by tools/ResourceGen.cpp; regenerate instead of editing. -->\n"
        << "<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    const auto entry = [&xml](const QString& alias, const QString& file) {
        xml << "    <file alias=\"" << alias << "\">" << file << "</file>\n";
    };
    entry(QStringLiteral("keyboard"), QStringLiteral("keyboard.png"));
    entry(QStringLiteral("vornik"), QStringLiteral("vornik.png"));
    for (int n = 1; n <= 32; ++n) {
        const QString released = QStringLiteral("buttons/%1b.png").arg(n);
        const QString pressed = QStringLiteral("buttons/_%1.png").arg(n);
        ok &= save(buttonPicture(n, false), out.filePath(released));
        ok &= save(buttonPicture(n, true), out.filePath(pressed));
        entry(QStringLiteral("%1b").arg(n), released);
        entry(QStringLiteral("_%1").arg(n), pressed);
    }
    for (int i = 0; i < 9; ++i) {
        const QString file = QStringLiteral("direction/mimg%1.png").arg(i);
        ok &= save(directionPicture(i), out.filePath(file));
        entry(QStringLiteral("mimg%1").arg(i), file);
    }
    ok &= save(applicationIcon(), out.filePath(QStringLiteral("vornik.png")));
    // The desktop's icon theme takes the program's icon at the usual sizes (64 is vornik.png).
    out.mkpath(QStringLiteral("icons"));
    for (int size : {16, 24, 32, 48, 128, 256})
        ok &= save(applicationIcon(size), out.filePath(QStringLiteral("icons/vornik-%1.png").arg(size)));
    xml << "</qresource>\n</RCC>\n";
    xml.flush();
    ok &= writeFile(out.filePath(QStringLiteral("vornik.qrc")), qrc.toUtf8());
    return ok ? 0 : 1;
}
