// make_icons: turns the product logo into the square application icons of
// the desktop's icon theme.
//
//   make_icons LOGO OUTDIR SIZE...
//
// writes OUTDIR/<SIZE>x<SIZE>/vok.png for each SIZE: the whole logo scaled
// to fit, centred on a transparent square. Needs no display.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>

namespace {

QImage squareIcon(const QImage &logo, int size)
{
    // Scale first, then centre: the logo is taller than wide, so it fills the
    // height and leaves transparent margins left and right.
    const QImage scaled = logo.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
    painter.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icons LOGO OUTDIR SIZE...\n");
        return 2;
    }
    const QString logoPath = QString::fromLocal8Bit(argv[1]);
    const QDir outDir(QString::fromLocal8Bit(argv[2]));

    QImage logo(logoPath);
    if (logo.isNull()) {
        std::fprintf(stderr, "make_icons: cannot read %s\n", argv[1]);
        return 1;
    }
    logo = logo.convertToFormat(QImage::Format_ARGB32_Premultiplied);

    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "make_icons: bad size %s\n", argv[i]);
            return 2;
        }
        const QString sizeDir = QStringLiteral("%1x%1").arg(size);
        const QString path = outDir.filePath(sizeDir + QStringLiteral("/vok.png"));
        if (!outDir.mkpath(sizeDir) || !squareIcon(logo, size).save(path, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
