// Build-time helper: renders the emblem drawing as square PNG icons for the desktop's
// icon theme, one file per size: render-icon DRAWING.svg OUTDIR SIZE... writes
// OUTDIR/SIZE/zendric.png.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char* argv[]) {
  if (argc < 4) {
    std::fputs("usage: render-icon DRAWING.svg OUTDIR SIZE...\n", stderr);
    return 2;
  }
  // The plate's lettering needs fonts, which need a GUI application; no display is used.
  int qtArgc = 3;
  char platformOption[] = "-platform";
  char offscreen[] = "offscreen";
  char* qtArgv[] = {argv[0], platformOption, offscreen, nullptr};
  QGuiApplication application(qtArgc, qtArgv);

  const QString drawing = QString::fromLocal8Bit(argv[1]);
  const QDir out(QString::fromLocal8Bit(argv[2]));
  if (!QImageReader::supportedImageFormats().contains("svg")) {
    std::fputs("render-icon: Qt has no SVG image plugin here (Debian package libqt6svg6)\n", stderr);
    return 1;
  }
  for (int i = 3; i < argc; ++i) {
    const int size = QString::fromLocal8Bit(argv[i]).toInt();
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "render-icon: not a size: %s\n", argv[i]);
      return 2;
    }
    QImageReader reader(drawing, "svg");
    reader.setScaledSize(QSize(size, size));  // drawn afresh at each size, not scaled as pixels
    const QImage image = reader.read();
    if (image.isNull()) {
      std::fprintf(stderr, "render-icon: %s: %s\n", argv[1], qPrintable(reader.errorString()));
      return 1;
    }
    const QString folder = QString::number(size);
    const QString file = out.filePath(folder + QStringLiteral("/zendric.png"));
    if (!out.mkpath(folder) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
