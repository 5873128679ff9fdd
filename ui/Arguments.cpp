#include "Arguments.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <new>
#include <string>

#include "TextEncoding.h"
#include "TextFiles.h"

namespace zendric {
namespace {

constexpr int UsageError = 2;

QString ProgramName(const QStringList& arguments) {
  const QString name = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).fileName();
  return name.isEmpty() ? QStringLiteral("zendric") : name;
}

QString HelpText(const QString& program) {
  return QStringLiteral(
             "Usage: %1 [CODE... | FILE]\n"
             "Opens the Zendric 2 reader window, which shows what each item of a code says.\n"
             "\n"
             "  CODE           a code to start with, e.g. %1 'ZN2.Dw Gm L12m'; the words of a\n"
             "                 code given without quotes are joined with blanks\n"
             "  FILE           a text file to start with\n"
             "  -h, --help     show this help and exit\n"
             "  -v, --version  show the version and exit\n")
      .arg(program);
}

StartRequest Fail(const QString& program, const QString& message) {
  return {StartRequest::Kind::Fail, {}, {}, QStringLiteral("%1: %2\n").arg(program, message), UsageError};
}

}  // namespace

bool ReadTextFile(const QString& path, QString& text, QString& why) {
  std::string bytes, reason;
  try {
    if (ReadWholeFile(QFile::encodeName(path).toStdString(), bytes, reason)) {
      bytes = DecodeText(bytes);
      text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
      return true;
    }
  } catch (const std::bad_alloc&) {
    reason = "too large for the memory there is";
  }
  why = QString::fromStdString(reason);
  return false;
}

namespace {

// An argument that cannot be a code reads as a file name: one word without a blank
// that does not start like a code.
bool LooksLikeAFileName(const QString& argument) {
  return !argument.trimmed().startsWith(QLatin1String("ZN2.")) && !argument.contains(u' ');
}

}  // namespace

StartRequest ReadArguments(const QStringList& arguments) {
  const QString program = ProgramName(arguments);
  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
  parser.addOption(help);
  parser.addOption(version);
  if (!parser.parse(arguments))
    return Fail(program, parser.errorText() + QStringLiteral(" (%1 --help tells what it takes)").arg(program));
  if (parser.isSet(help)) return {StartRequest::Kind::Print, {}, {}, HelpText(program), 0};
  if (parser.isSet(version))
    return {StartRequest::Kind::Print, {}, {}, QStringLiteral("%1 %2\n").arg(program, QStringLiteral(ZENDRIC_VERSION)), 0};

  const QStringList words = parser.positionalArguments();
  if (words.isEmpty()) return {};
  if (words.size() == 1 && (QFileInfo::exists(words.first()) || LooksLikeAFileName(words.first()))) {
    QString text, why;
    if (!QFileInfo::exists(words.first())) why = QStringLiteral("no such file");
    else if (ReadTextFile(words.first(), text, why))
      return {StartRequest::Kind::OpenWindow, text, words.first(), {}, 0};
    return Fail(program, QStringLiteral("cannot read %1: %2").arg(words.first(), why));
  }
  return {StartRequest::Kind::OpenWindow, words.join(u' '), {}, {}, 0};
}

}  // namespace zendric
