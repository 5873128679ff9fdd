// Build-time helper: renders the emblem drawing as square PNG icons, one file per size:
// render-icon [--maskable=COLOUR] DRAWING.svg OUTDIR SIZE... writes OUTDIR/SIZE/zendric.png.
// A maskable icon fills the whole square with COLOUR and keeps the drawing inside the
// middle circle that every launcher's mask leaves whole.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The circle every mask keeps has 80 % of the side as its diameter; the drawing's
// square fits inside it.
constexpr double MaskableShare = 0.8 / 1.41421356237;

QImage Draw(const QString& drawing, int size, const QColor& background, const char* name) {
  const int side = background.isValid() ? static_cast<int>(std::floor(size * MaskableShare)) : size;
  QImageReader reader(drawing, "svg");
  reader.setScaledSize(QSize(side, side));  // drawn afresh at each size, not scaled as pixels
  const QImage image = reader.read();
  if (image.isNull()) {
    std::fprintf(stderr, "render-icon: %s: %s\n", name, qPrintable(reader.errorString()));
    return {};
  }
  if (!background.isValid()) return image;
  QImage square(size, size, QImage::Format_ARGB32);
  square.fill(background);
  QPainter painter(&square);
  painter.drawImage((size - side) / 2, (size - side) / 2, image);
  return square;
}

}  // namespace

int main(int argc, char* argv[]) {
  QColor background;  // invalid: a transparent icon of the drawing alone
  int first = 1;
  constexpr const char* Maskable = "--maskable=";
  if (argc > 1 && std::strncmp(argv[1], Maskable, std::strlen(Maskable)) == 0) {
    background = QColor(QString::fromLocal8Bit(argv[1] + std::strlen(Maskable)));
    if (!background.isValid()) {
      std::fprintf(stderr, "render-icon: not a colour: %s\n", argv[1]);
      return 2;
    }
    first = 2;
  }
  if (argc < first + 3) {
    std::fputs("usage: render-icon [--maskable=COLOUR] DRAWING.svg OUTDIR SIZE...\n", stderr);
    return 2;
  }
  // The plate's lettering needs fonts, which need a GUI application; no display is used.
  int qtArgc = 3;
  char platformOption[] = "-platform";
  char offscreen[] = "offscreen";
  char* qtArgv[] = {argv[0], platformOption, offscreen, nullptr};
  QGuiApplication application(qtArgc, qtArgv);

  const QString drawing = QString::fromLocal8Bit(argv[first]);
  const QDir out(QString::fromLocal8Bit(argv[first + 1]));
  if (!QImageReader::supportedImageFormats().contains("svg")) {
    std::fputs("render-icon: Qt has no SVG image plugin here (Debian package libqt6svg6)\n", stderr);
    return 1;
  }
  for (int i = first + 2; i < argc; ++i) {
    const int size = QString::fromLocal8Bit(argv[i]).toInt();
    if (size <= 0 || size > 1024) {
      std::fprintf(stderr, "render-icon: not a size: %s\n", argv[i]);
      return 2;
    }
    const QImage image = Draw(drawing, size, background, argv[first]);
    if (image.isNull()) return 1;
    const QString folder = QString::number(size);
    const QString file = out.filePath(folder + QStringLiteral("/zendric.png"));
    if (!out.mkpath(folder) || !image.save(file, "PNG")) {
      std::fprintf(stderr, "render-icon: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
