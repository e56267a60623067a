// vellumo-sample-pictures: draws the sample skin catalogue.
//
//   vellumo-sample-pictures [--convert PROGRAM] OUTPUT_FOLDER
//
// writes msnskins.txt, one list file per category and one GIF picture per
// skin into OUTPUT_FOLDER (kept in share/sample-catalogue/). Qt cannot write
// GIF, so each picture is drawn into a PNG first and handed to ImageMagick's
// convert, which reduces it to a small palette.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QProcess>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

constexpr int pictureWidth = 200;
constexpr int pictureHeight = 290;
constexpr int paletteSize = 64;

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// A small fixed pseudo-random sequence, so that every run draws the same.
class Scatter
{
public:
    explicit Scatter(std::uint32_t seed) : m_state(seed) {}

    // A number from low to high.
    qreal next(qreal low, qreal high)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return low + (high - low) * qreal(m_state >> 8) / qreal(1u << 24);
    }

private:
    std::uint32_t m_state;
};

void fillVertical(QPainter &p, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(0, 0, 0, pictureHeight);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    p.fillRect(QRectF(0, 0, pictureWidth, pictureHeight), gradient);
}

QPainterPath star(QPointF centre, qreal outer, qreal inner, qreal turn)
{
    QPolygonF points;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = turn + std::numbers::pi * i / 5 - std::numbers::pi / 2;
        const qreal r = (i % 2 == 0) ? outer : inner;
        points << centre + QPointF(r * std::cos(angle), r * std::sin(angle));
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

// A band below a wave line: y = base + amplitude * sin(...), down to the bottom.
QPainterPath waveBand(qreal base, qreal amplitude, qreal length, qreal phase)
{
    QPainterPath path(QPointF(0, pictureHeight));
    for (int x = 0; x <= pictureWidth; x += 4)
        path.lineTo(x, base + amplitude * std::sin(2 * std::numbers::pi * x / length + phase));
    path.lineTo(pictureWidth, pictureHeight);
    path.closeSubpath();
    return path;
}

void drawFlower(QPainter &p, QPointF centre, qreal size, const QColor &petal)
{
    p.setPen(Qt::NoPen);
    p.setBrush(petal);
    for (int i = 0; i < 5; ++i) {
        const qreal angle = 2 * std::numbers::pi * i / 5;
        p.drawEllipse(centre + QPointF(size * std::cos(angle), size * std::sin(angle)),
                      size * 0.8, size * 0.8);
    }
    p.setBrush(QColor(0xf6, 0xd3, 0x5b));
    p.drawEllipse(centre, size * 0.6, size * 0.6);
}

QPainterPath leaf(qreal length)
{
    QPainterPath path(QPointF(0, 0));
    path.cubicTo(length * 0.3, -length * 0.4, length * 0.8, -length * 0.3, length, 0);
    path.cubicTo(length * 0.8, length * 0.3, length * 0.3, length * 0.4, 0, 0);
    return path;
}

// ---------------------------------------------------------------------------
// Nature

void drawMeadow(QPainter &p)
{
    fillVertical(p, QColor(0xcf, 0xe8, 0xfa), QColor(0xf4, 0xfa, 0xff));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd4, 0xec, 0xc0));
    p.drawPath(waveBand(205, 10, 260, 0.5));
    p.setBrush(QColor(0xbd, 0xe0, 0xa4));
    p.drawPath(waveBand(235, 8, 220, 2.4));
    Scatter scatter(7);
    for (int i = 0; i < 9; ++i)
        drawFlower(p, QPointF(scatter.next(12, 188), scatter.next(248, 282)),
                   scatter.next(2.5, 4), Qt::white);
    // A couple of light clouds.
    p.setBrush(QColor(255, 255, 255, 200));
    for (const QPointF &c : {QPointF(52, 48), QPointF(146, 86)}) {
        p.drawEllipse(c, 26, 10);
        p.drawEllipse(c + QPointF(-12, -6), 14, 10);
        p.drawEllipse(c + QPointF(10, -8), 16, 12);
    }
}

void drawSeaBreeze(QPainter &p)
{
    fillVertical(p, QColor(0xe6, 0xf7, 0xf7), QColor(0xc6, 0xea, 0xee));
    p.setPen(Qt::NoPen);
    QRadialGradient sun(QPointF(150, 60), 40);
    sun.setColorAt(0, QColor(0xff, 0xf6, 0xd8));
    sun.setColorAt(0.6, QColor(0xff, 0xf6, 0xd8, 160));
    sun.setColorAt(1, QColor(0xff, 0xf6, 0xd8, 0));
    p.setBrush(sun);
    p.drawEllipse(QPointF(150, 60), 40, 40);
    const QColor waves[] = {QColor(0xb4, 0xe0, 0xe6), QColor(0x9f, 0xd6, 0xdf),
                            QColor(0x8c, 0xcb, 0xd8)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(waves[i]);
        p.drawPath(waveBand(200 + 28 * i, 5, 70 + 10 * i, i * 1.7));
    }
}

void drawAutumnLeaves(QPainter &p)
{
    fillVertical(p, QColor(0xfd, 0xf6, 0xe9), QColor(0xf8, 0xea, 0xd4));
    const QColor colours[] = {QColor(0xf2, 0xc0, 0x8f), QColor(0xee, 0xd0, 0x8a),
                              QColor(0xe9, 0xa8, 0x8a), QColor(0xd9, 0xc8, 0x96)};
    p.setPen(Qt::NoPen);
    Scatter scatter(11);
    for (int i = 0; i < 16; ++i) {
        p.save();
        p.translate(scatter.next(0, pictureWidth), scatter.next(0, pictureHeight));
        p.rotate(scatter.next(0, 360));
        p.setBrush(colours[i % 4]);
        const qreal length = scatter.next(18, 30);
        p.drawPath(leaf(length));
        p.setPen(QPen(QColor(255, 255, 255, 150), 1));
        p.drawLine(QPointF(2, 0), QPointF(length - 3, 0));
        p.restore();
    }
}

// ---------------------------------------------------------------------------
// Night sky

void drawBlueMoon(QPainter &p)
{
    fillVertical(p, QColor(0xb9, 0xc8, 0xef), QColor(0xe8, 0xee, 0xfb));
    p.setPen(Qt::NoPen);
    // A crescent: a full disc with a second one, in the sky's colour, over it.
    QPainterPath moon;
    moon.addEllipse(QPointF(70, 80), 38, 38);
    QPainterPath bite;
    bite.addEllipse(QPointF(88, 68), 34, 34);
    p.setBrush(QColor(0xfb, 0xfb, 0xf2));
    p.drawPath(moon.subtracted(bite));
    Scatter scatter(3);
    p.setBrush(QColor(255, 255, 255, 220));
    for (int i = 0; i < 14; ++i) {
        const QPointF c(scatter.next(10, 190), scatter.next(10, 200));
        if (QLineF(c, QPointF(70, 80)).length() < 48)
            continue;
        p.drawPath(star(c, scatter.next(3, 6), 1.6, scatter.next(0, 1)));
    }
}

void drawStarlight(QPainter &p)
{
    fillVertical(p, QColor(0xe4, 0xdc, 0xf4), QColor(0xf7, 0xf3, 0xfc));
    p.setPen(Qt::NoPen);
    Scatter scatter(5);
    const QColor colours[] = {QColor(0xfb, 0xe9, 0xa6), QColor(0xff, 0xff, 0xff),
                              QColor(0xf4, 0xd8, 0xe8)};
    for (int i = 0; i < 22; ++i) {
        p.setBrush(colours[i % 3]);
        const qreal outer = scatter.next(5, 12);
        p.drawPath(star(QPointF(scatter.next(8, 192), scatter.next(8, 282)), outer,
                        outer * 0.45, scatter.next(0, 1.2)));
    }
}

void drawAurora(QPainter &p)
{
    fillVertical(p, QColor(0xdf, 0xe9, 0xf6), QColor(0xf5, 0xf8, 0xfc));
    p.setPen(Qt::NoPen);
    const QColor ribbons[] = {QColor(0xb8, 0xee, 0xd6, 150), QColor(0xd2, 0xc4, 0xf0, 140),
                              QColor(0xa8, 0xe4, 0xe8, 130)};
    for (int i = 0; i < 3; ++i) {
        const qreal top = 40 + 30 * i;
        QPainterPath ribbon(QPointF(0, top));
        ribbon.cubicTo(60, top - 40, 120, top + 60, 200, top + 10);
        ribbon.lineTo(200, top + 60);
        ribbon.cubicTo(120, top + 100, 60, top, 0, top + 45);
        ribbon.closeSubpath();
        p.setBrush(ribbons[i]);
        p.drawPath(ribbon);
    }
    p.setBrush(QColor(0xd6, 0xe0, 0xee));
    p.drawPath(waveBand(262, 6, 150, 1.0));
}

// ---------------------------------------------------------------------------
// Abstract

void drawBubbles(QPainter &p)
{
    fillVertical(p, QColor(0xf2, 0xf8, 0xff), QColor(0xdc, 0xec, 0xfa));
    Scatter scatter(13);
    for (int i = 0; i < 18; ++i) {
        const QPointF c(scatter.next(0, pictureWidth), scatter.next(0, pictureHeight));
        const qreal r = scatter.next(6, 26);
        p.setPen(QPen(QColor(0x9c, 0xc4, 0xea, 170), 1.5));
        p.setBrush(QColor(255, 255, 255, 110));
        p.drawEllipse(c, r, r);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        p.drawEllipse(c + QPointF(-r * 0.4, -r * 0.4), r * 0.18, r * 0.18);
    }
}

void drawPaperWaves(QPainter &p)
{
    p.fillRect(QRectF(0, 0, pictureWidth, pictureHeight), QColor(0xff, 0xf7, 0xf2));
    const QColor bands[] = {QColor(0xfc, 0xe6, 0xdc), QColor(0xf9, 0xd8, 0xd6),
                            QColor(0xf3, 0xd4, 0xe2), QColor(0xe6, 0xd6, 0xee)};
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    for (int i = 0; i < 4; ++i) {
        p.setBrush(bands[i]);
        p.drawPath(waveBand(60 + 55 * i, 12, 180, i * 1.3));
    }
}

// ---------------------------------------------------------------------------
// Sweets

void drawCandyStripes(QPainter &p)
{
    p.fillRect(QRectF(0, 0, pictureWidth, pictureHeight), QColor(0xff, 0xf8, 0xfa));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xfb, 0xdd, 0xe6));
    p.rotate(-35);
    for (int x = -300; x < 300; x += 28)
        p.drawRect(QRectF(x, -100, 12, 600));
}

void drawLemonDrops(QPainter &p)
{
    p.fillRect(QRectF(0, 0, pictureWidth, pictureHeight), QColor(0xff, 0xfc, 0xe8));
    p.setPen(Qt::NoPen);
    for (int row = 0; row * 24 < pictureHeight + 24; ++row) {
        for (int column = 0; column * 24 < pictureWidth + 24; ++column) {
            const QPointF c(column * 24 + (row % 2) * 12, row * 24);
            p.setBrush(QColor(0xfa, 0xee, 0xa8));
            p.drawEllipse(c, 6, 6);
            p.setBrush(QColor(255, 255, 255, 200));
            p.drawEllipse(c + QPointF(-2, -2), 1.6, 1.6);
        }
    }
}

// ---------------------------------------------------------------------------

struct Skin {
    QString name;
    void (*draw)(QPainter &);
};

struct Category {
    QString name;
    std::vector<Skin> skins;
};

const std::vector<Category> &catalogue()
{
    static const std::vector<Category> categories = {
        {"Nature", {{"Meadow", drawMeadow}, {"Sea Breeze", drawSeaBreeze},
                    {"Autumn Leaves", drawAutumnLeaves}}},
        {"Night Sky", {{"Blue Moon", drawBlueMoon}, {"Starlight", drawStarlight},
                       {"Aurora", drawAurora}}},
        {"Abstract", {{"Bubbles", drawBubbles}, {"Paper Waves", drawPaperWaves}}},
        {"Sweets", {{"Candy Stripes", drawCandyStripes}, {"Lemon Drops", drawLemonDrops}}},
    };
    return categories;
}

// The list files hold their entries separated by '*', without a line break.
bool writeList(const QString &path, const QStringList &entries)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        err() << "Cannot write " << path << ": " << file.errorString() << Qt::endl;
        return false;
    }
    file.write(entries.join(QLatin1Char('*')).toLatin1());
    return file.error() == QFileDevice::NoError;
}

bool convertToGif(const QString &convert, const QString &png, const QString &gif)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(convert, {png, "-dither", "FloydSteinberg", "-colors", QString::number(paletteSize),
                            "-strip", gif});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        err() << convert << " failed on " << png << Qt::endl;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Draws the sample skin catalogue.");
    parser.addHelpOption();
    const QCommandLineOption convertOption("convert", "ImageMagick's convert program.", "PROGRAM",
                                           "convert");
    parser.addOption(convertOption);
    parser.addPositionalArgument("OUTPUT_FOLDER", "Where the catalogue is written.");
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const QDir output(parser.positionalArguments().first());
    QTemporaryDir work;
    if (!output.mkpath(".") || !work.isValid()) {
        err() << "Cannot create the output or a temporary folder" << Qt::endl;
        return 1;
    }

    QStringList categoryNames;
    for (const Category &category : catalogue()) {
        categoryNames << category.name;
        QString folder = category.name;
        folder.remove(QLatin1Char(' '));
        if (!output.mkpath(folder))
            return 1;

        QStringList skinNames;
        for (const Skin &skin : category.skins) {
            skinNames << skin.name;
            QImage image(pictureWidth, pictureHeight, QImage::Format_RGB32);
            {
                QPainter p(&image);
                p.setRenderHint(QPainter::Antialiasing);
                skin.draw(p);
            }
            const QString png = work.filePath(skin.name + ".png");
            if (!image.save(png, "PNG")
                || !convertToGif(parser.value(convertOption), png,
                                 output.filePath(folder + "/" + skin.name + ".gif")))
                return 1;
        }
        if (!writeList(output.filePath(category.name + ".txt"), skinNames))
            return 1;
    }
    return writeList(output.filePath("msnskins.txt"), categoryNames) ? 0 : 1;
}
