#include "keyboarddrawing.h"

#include "keyboard/keyboardlayout.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace nk::keyboardgen {

namespace {

using L = KeyboardLayout;

constexpr int kSyllableBaseline = 152;
constexpr int kBracketY = 172;

struct OctaveLabel
{
    int left;
    int right;
    const char16_t *text;
};

void fillColumns(QImage &image, int left, int right, int top, int bottom, QRgb colour)
{
    QPainter p(&image);
    p.fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), QColor::fromRgb(colour));
}

void drawKeys(QImage &image)
{
    fillColumns(image, L::FrameLeft, L::FrameRight, L::FrameTop, L::FrameBottom, L::White);
    fillColumns(image, L::FrameLeft, L::FrameRight, L::FrameTop, L::FrameTop,
                KeyboardDrawing::Line);
    fillColumns(image, L::FrameLeft, L::FrameRight, L::FrameBottom, L::FrameBottom,
                KeyboardDrawing::Line);
    for (int x : L::Separators)
        fillColumns(image, x, x, L::FrameTop, L::FrameBottom, KeyboardDrawing::Line);
    // Black keys go over the separators that run beneath them.
    for (const PixelSpan &fill : L::BlackFills) {
        fillColumns(image, fill.first - 1, fill.last + 1, L::BlackTop, L::BlackOutline,
                    KeyboardDrawing::Line);
        fillColumns(image, fill.first, fill.last, L::BlackTop, L::BlackBottom, L::Black);
    }
}

QFont letteringFont(int pixelSize, bool smooth)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    if (!smooth)
        font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The white keys of the first octave and the first key of the second.
void drawSyllables(QImage &image)
{
    static const char16_t *const names[] = {u"До",   u"Ре", u"Ми", u"Фа",
                                            u"Соль", u"Ля", u"Си", u"До"};
    constexpr int firstSeparator = 7; // x = 262, the line left of the first octave's ДО
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(letteringFont(11, false));
    p.setPen(QColor::fromRgb(KeyboardDrawing::Ink));
    for (int i = 0; i < 8; ++i) {
        const int left = L::Separators[firstSeparator + i] + 1;
        const int right = L::Separators[firstSeparator + i + 1] - 1;
        const QRect box(QPoint(left, kSyllableBaseline - 12), QPoint(right, kSyllableBaseline));
        p.drawText(box, Qt::AlignHCenter | Qt::AlignBottom, QString::fromUtf16(names[i]));
    }
}

// Whatever the font engine did, keep the key areas to the palette the fill
// depends on: a stray shade inside the frame becomes white or ink.
void snapFrameToPalette(QImage &image)
{
    const QRgb allowed[] = {L::White, L::Black, KeyboardDrawing::Line, KeyboardDrawing::Ink};
    for (int y = L::FrameTop; y <= L::FrameBottom; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = L::FrameLeft; x <= L::FrameRight; ++x) {
            const QRgb c = line[x] | 0xFF000000;
            if (std::find(std::begin(allowed), std::end(allowed), c) != std::end(allowed))
                continue;
            line[x] = qGray(c) >= 128 ? L::White : KeyboardDrawing::Ink;
        }
    }
}

void drawBracket(QPainter &p, const OctaveLabel &octave)
{
    const int left = octave.left + 4;
    const int right = octave.right - 4;
    const int middle = (left + right) / 2;
    p.drawLine(QPointF(left + 0.5, kBracketY - 6), QPointF(left + 0.5, kBracketY + 0.5));
    p.drawLine(QPointF(left + 0.5, kBracketY + 0.5), QPointF(right + 0.5, kBracketY + 0.5));
    p.drawLine(QPointF(right + 0.5, kBracketY + 0.5), QPointF(right + 0.5, kBracketY - 6));
    p.drawLine(QPointF(middle + 0.5, kBracketY + 0.5), QPointF(middle + 0.5, kBracketY + 5));
    p.drawText(QRect(left, kBracketY + 7, right - left, 20), Qt::AlignHCenter | Qt::AlignTop,
               QString::fromUtf16(octave.text));
}

// Brackets and names under the frame; smoothing is harmless out here.
void drawOctaveBrackets(QImage &image)
{
    static const OctaveLabel octaves[] = {{L::Separators[0], L::Separators[7], u"малая октава"},
                                          {L::Separators[7], L::Separators[14], u"первая октава"},
                                          {L::Separators[14], L::Separators[21], u"вторая октава"}};
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor::fromRgb(KeyboardDrawing::Ink), 1.5));
    p.setFont(letteringFont(13, true));
    p.setClipRect(QRect(0, L::ClickBottom + 2, L::Width, L::Height));
    for (const OctaveLabel &octave : octaves)
        drawBracket(p, octave);
}

} // namespace

QImage KeyboardDrawing::draw()
{
    QImage image(L::Width, L::Height, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(Background));
    drawKeys(image);
    drawSyllables(image);
    snapFrameToPalette(image);
    drawOctaveBrackets(image);
    return image;
}

} // namespace nk::keyboardgen
