// The PNG encoder of every picture: what a PNG reader (QImage's, libpng
// underneath) decodes is the image given, pixel for pixel, whatever the
// image's format; opaque images lose only their constant alpha channel.
#include "model/pngencoder.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include <zlib.h>

namespace {

// A picture like the stereonet's: white, thin antialiased lines in a few
// colours, text; plus a band of noise, which no filter helps.
QImage picture(QImage::Format format, bool transparent) {
    QImage image(331, 217, QImage::Format_ARGB32);
    image.fill(transparent ? Qt::transparent : Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::blue, 1.3));
    p.drawEllipse(QPointF(160, 108), 100, 100);
    p.setPen(QPen(QColor(255, 0, 255, 160), 2.2));
    p.drawArc(QRectF(10, 20, 300, 250), 30 * 16, 120 * 16);
    p.setPen(Qt::red);
    p.drawText(QPointF(20, 30), QStringLiteral("N 135°∠65°"));
    p.end();
    QRandomGenerator random(7);
    for (int y = 180; y < 200; ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, transparent ? random.generate() : (random.generate() | 0xff000000u));
    return image.convertToFormat(format);
}

struct Chunk {
    QByteArray type;
    QByteArray data;
};

// The chunks of a PNG, each checked against its CRC.
QList<Chunk> chunks(const QByteArray& png, bool* crcOk) {
    QList<Chunk> list;
    *crcOk = png.startsWith("\x89PNG\r\n\x1a\n");
    int at = 8;
    while (at + 12 <= png.size()) {
        const auto* b = reinterpret_cast<const uchar*>(png.constData() + at);
        const quint32 length = quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
        if (at + 12 + qint64(length) > png.size()) {
            *crcOk = false;
            break;
        }
        const QByteArray typeAndData = png.mid(at + 4, int(length) + 4);
        const auto* c = b + 8 + length;
        const quint32 crc = quint32(c[0]) << 24 | quint32(c[1]) << 16 | quint32(c[2]) << 8 | c[3];
        *crcOk = *crcOk && crc == crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()),
                                        uInt(typeAndData.size()));
        list.append({typeAndData.left(4), typeAndData.mid(4)});
        at += 12 + int(length);
    }
    return list;
}

// Colour type byte of the IHDR: 2 RGB, 6 RGBA.
int colourType(const QList<Chunk>& list) {
    return list.isEmpty() || list.first().type != "IHDR" ? -1 : uchar(list.first().data.at(9));
}

} // namespace

class TestPngEncoder : public QObject {
    Q_OBJECT
private slots:
    void decodesToTheSamePixels_data();
    void decodesToTheSamePixels();
    void wellFormedAndCompact();
    void failuresAreReported();
};

void TestPngEncoder::decodesToTheSamePixels_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("transparent");
    QTest::addColumn<int>("expectedColourType");
    QTest::newRow("ARGB32 opaque") << int(QImage::Format_ARGB32) << false << 2;
    QTest::newRow("ARGB32 transparent") << int(QImage::Format_ARGB32) << true << 6;
    QTest::newRow("premultiplied transparent") << int(QImage::Format_ARGB32_Premultiplied) << true << 6;
    QTest::newRow("RGB32") << int(QImage::Format_RGB32) << false << 2;
    QTest::newRow("RGB888") << int(QImage::Format_RGB888) << false << 2;
    QTest::newRow("RGBA8888 transparent") << int(QImage::Format_RGBA8888) << true << 6;
    QTest::newRow("grayscale") << int(QImage::Format_Grayscale8) << false << 2;
    QTest::newRow("indexed") << int(QImage::Format_Indexed8) << false << 2;
}

void TestPngEncoder::decodesToTheSamePixels() {
    QFETCH(int, format);
    QFETCH(bool, transparent);
    QFETCH(int, expectedColourType);
    const QImage image = picture(QImage::Format(format), transparent);
    const QByteArray png = PngEncoder::encode(image);
    bool crcOk = false;
    QCOMPARE(colourType(chunks(png, &crcOk)), expectedColourType);
    QVERIFY(crcOk);
    QImage decoded;
    QVERIFY(decoded.loadFromData(png, "PNG"));
    QCOMPARE(decoded.size(), image.size());
    // Compared as straight ARGB: the colours of premultiplied pixels are
    // those their format can hold.
    QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32), image.convertToFormat(QImage::Format_ARGB32));
    QCOMPARE(decoded.dotsPerMeterX(), image.dotsPerMeterX());

    // Written to a device: the same bytes.
    QByteArray written;
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(PngEncoder::write(image, &buffer));
    QCOMPARE(written, png);
}

void TestPngEncoder::wellFormedAndCompact() {
    // The 800 x 600 size of the report, a picture of lines on white: the
    // chunks in order, the data deflated to a small part of the raw rows,
    // and not much larger than QImage's own PNG at its default setting.
    QImage image(800, 600, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {Qt::blue, Qt::magenta, Qt::red};
    p.setPen(QPen(Qt::black, 1.5));
    p.drawEllipse(QPointF(400, 300), 280, 280);
    for (int i = 0; i < 8; ++i) {
        p.setPen(QPen(colours[i % 3], 1.2));
        p.drawArc(QRectF(120 + 20 * i, 20 - 30 * i, 560 + 60 * i, 560 + 60 * i), (20 + 40 * i) * 16,
                  150 * 16);
    }
    p.end();
    const QByteArray png = PngEncoder::encode(image);
    bool crcOk = false;
    const QList<Chunk> list = chunks(png, &crcOk);
    QVERIFY(crcOk);
    QCOMPARE(list.first().type, QByteArray("IHDR"));
    QCOMPARE(list.last().type, QByteArray("IEND"));
    QByteArray idat;
    for (const Chunk& c : list)
        if (c.type == "IDAT")
            idat += c.data;
    QVERIFY(!idat.isEmpty());
    QVERIFY2(png.size() < 800 * 600 * 3 / 20, qPrintable(QString::number(png.size())));
    QByteArray qtPng;
    QBuffer buffer(&qtPng);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(image.convertToFormat(QImage::Format_RGB32).save(&buffer, "PNG"));
    QVERIFY2(png.size() < qtPng.size() * 3 / 2,
             qPrintable(QStringLiteral("%1 against %2").arg(png.size()).arg(qtPng.size())));
    QCOMPARE(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32), image);
}

void TestPngEncoder::failuresAreReported() {
    QVERIFY(PngEncoder::encode(QImage()).isEmpty());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(!PngEncoder::write(QImage(), &buffer));
    QVERIFY(!PngEncoder::write(picture(QImage::Format_RGB32, false), nullptr));
    // A device that refuses the bytes (opened for reading only).
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    QTest::ignoreMessage(QtWarningMsg, "QIODevice::write (QBuffer): ReadOnly device");
    QVERIFY(!PngEncoder::write(picture(QImage::Format_RGB32, false), &readOnly));
}

QTEST_MAIN(TestPngEncoder)
#include "test_pngencoder.moc"
