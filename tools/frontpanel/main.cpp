// Draws the front of the QRN-7300XB access point as the main window shows it: the LED sockets
// sit exactly where the main window puts its six lamps (13 x 13 pixels, top 276, left edges
// 114, 128, 142, 156, 170 and 185), each with its label above it.
//
// Usage: qrn-frontpanel OUTPUT.png
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int Width = 460;
constexpr int Height = 320;
constexpr int LampTop = 276;
constexpr int LampSize = 13;
const int LampLefts[] = {114, 128, 142, 156, 170, 185};
const char *const LampLabels[] = {"802.11a", "802.11g", "LAN 1", "LAN 2", "Status", "Power"};

QPointF lampCentre(int i)
{
    return {LampLefts[i] + LampSize / 2.0, LampTop + LampSize / 2.0};
}

void drawBackground(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, Height);
    sky.setColorAt(0.0, QColor(0xF4, 0xF6, 0xF9));
    sky.setColorAt(1.0, QColor(0xD3, 0xDA, 0xE3));
    p.fillRect(0, 0, Width, Height, sky);
    // The device's shadow on the desk.
    QRadialGradient shadow(QPointF(Width / 2.0, 310), 230);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 70));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    p.save();
    p.translate(0, 310);
    p.scale(1.0, 0.08);
    p.translate(0, -310);
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(Width / 2.0, 310), 230, 230);
    p.restore();
}

void drawAntenna(QPainter &p, qreal x, qreal tilt)
{
    p.save();
    p.translate(x, 132);
    p.rotate(tilt);
    // Hinge.
    QLinearGradient hinge(-9, 0, 9, 0);
    hinge.setColorAt(0.0, QColor(0x30, 0x33, 0x38));
    hinge.setColorAt(0.5, QColor(0x6A, 0x70, 0x78));
    hinge.setColorAt(1.0, QColor(0x25, 0x28, 0x2C));
    p.setPen(Qt::NoPen);
    p.setBrush(hinge);
    p.drawRoundedRect(QRectF(-9, -14, 18, 18), 4, 4);
    // Blade.
    QLinearGradient blade(-6, 0, 6, 0);
    blade.setColorAt(0.0, QColor(0x1E, 0x21, 0x25));
    blade.setColorAt(0.45, QColor(0x58, 0x5E, 0x66));
    blade.setColorAt(1.0, QColor(0x17, 0x19, 0x1C));
    p.setBrush(blade);
    p.drawRoundedRect(QRectF(-6, -118, 12, 108), 6, 6);
    p.setPen(QPen(QColor(255, 255, 255, 40), 1));
    p.drawLine(QPointF(-2, -112), QPointF(-2, -18));
    p.restore();
}

void drawChassis(QPainter &p)
{
    const QRectF body(18, 118, Width - 36, 190);
    QPainterPath outline;
    outline.addRoundedRect(body, 16, 16);

    QLinearGradient metal(0, body.top(), 0, body.bottom());
    metal.setColorAt(0.00, QColor(0xFA, 0xFB, 0xFC));
    metal.setColorAt(0.35, QColor(0xE2, 0xE6, 0xEA));
    metal.setColorAt(0.60, QColor(0xC9, 0xCF, 0xD6));
    metal.setColorAt(1.00, QColor(0x9A, 0xA2, 0xAB));
    p.setPen(QPen(QColor(0x7A, 0x82, 0x8C), 1.2));
    p.setBrush(metal);
    p.drawPath(outline);

    // A highlight along the top edge.
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    p.drawLine(QPointF(body.left() + 16, body.top() + 2),
               QPointF(body.right() - 16, body.top() + 2));

    // The front bezel that carries the LEDs.
    const QRectF bezel(30, 226, Width - 60, 72);
    QLinearGradient dark(0, bezel.top(), 0, bezel.bottom());
    dark.setColorAt(0.0, QColor(0x3A, 0x3F, 0x46));
    dark.setColorAt(1.0, QColor(0x1C, 0x1F, 0x23));
    p.setPen(QPen(QColor(0x12, 0x14, 0x17), 1));
    p.setBrush(dark);
    p.drawRoundedRect(bezel, 9, 9);
    p.setPen(QPen(QColor(255, 255, 255, 35), 1));
    p.drawLine(QPointF(bezel.left() + 9, bezel.top() + 1.5),
               QPointF(bezel.right() - 9, bezel.top() + 1.5));
}

void drawBrand(QPainter &p)
{
    // Wave mark.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF mark(58, 178);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x6F, 0xB8));
    p.drawEllipse(mark, 4.5, 4.5);
    for (int i = 1; i <= 3; ++i) {
        p.setPen(QPen(QColor(0x00, 0x6F, 0xB8, 255 - i * 50), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        const qreal r = 6 + i * 6.5;
        p.drawArc(QRectF(mark.x() - r, mark.y() - r, 2 * r, 2 * r), 20 * 16, 140 * 16);
    }
    p.restore();

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(30);
    title.setBold(true);
    title.setLetterSpacing(QFont::PercentageSpacing, 104);
    p.setFont(title);
    p.setPen(QColor(0x23, 0x2A, 0x33));
    p.drawText(QPointF(90, 190), QStringLiteral("QRN-7300XB"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(12);
    p.setFont(sub);
    p.setPen(QColor(0x3D, 0x46, 0x50));
    p.drawText(QPointF(92, 210),
               QStringLiteral("Dual-Band Wireless Access Point  \u00b7  802.11a + 802.11g"));
}

void drawLeds(QPainter &p)
{
    QFont label(QStringLiteral("DejaVu Sans"));
    label.setPixelSize(8);
    p.setFont(label);
    for (int i = 0; i < 6; ++i) {
        const QPointF c = lampCentre(i);
        // Socket: a recessed ring a little wider than the lamp.
        QRadialGradient socket(c, 7.4);
        socket.setColorAt(0.0, QColor(0x05, 0x05, 0x05));
        socket.setColorAt(0.75, QColor(0x0B, 0x0C, 0x0E));
        socket.setColorAt(1.0, QColor(0x55, 0x5B, 0x63));
        p.setPen(Qt::NoPen);
        p.setBrush(socket);
        p.drawEllipse(c, 7.4, 7.4);
        p.setBrush(QColor(0x0A, 0x0A, 0x0A));
        p.drawEllipse(c, 6.5, 6.5);

        // Label, read from below, standing above its LED.
        p.save();
        p.translate(c.x() + 3, c.y() - 10);
        p.rotate(-90);
        p.setPen(QColor(0xD8, 0xDC, 0xE1));
        p.drawText(QPointF(0, 0), QString::fromLatin1(LampLabels[i]));
        p.restore();
    }
}

void drawBezelDetails(QPainter &p)
{
    // Ventilation slots on the right of the bezel.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        const QRectF slot(246 + i * 13, 246, 6, 34);
        p.setBrush(QColor(0x0C, 0x0D, 0x0F));
        p.drawRoundedRect(slot, 3, 3);
        p.setBrush(QColor(255, 255, 255, 22));
        p.drawRoundedRect(slot.adjusted(0, 33, 0, 1), 1, 1);
    }
    // Left: the reset pinhole.
    p.setBrush(QColor(0x08, 0x08, 0x09));
    p.setPen(QPen(QColor(0x60, 0x66, 0x6E), 1));
    p.drawEllipse(QPointF(52, 283), 3, 3);
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(8);
    p.setFont(small);
    p.setPen(QColor(0xA8, 0xAE, 0xB6));
    p.drawText(QPointF(41, 270), QStringLiteral("Reset"));

    QFont maker(QStringLiteral("DejaVu Sans"));
    maker.setPixelSize(11);
    maker.setBold(true);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    p.setFont(maker);
    p.setPen(QColor(0xC9, 0xCE, 0xD4));
    p.drawText(QRectF(246, 232, 112, 12), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("NORVANE"));
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: qrn-frontpanel OUTPUT.png\n");
        return 2;
    }
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBackground(p);
    drawAntenna(p, 62, -8);
    drawAntenna(p, Width - 62, 8);
    drawChassis(p);
    drawBrand(p);
    drawBezelDetails(p);
    drawLeds(p);
    p.end();
    if (!image.convertToFormat(QImage::Format_RGB32).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
