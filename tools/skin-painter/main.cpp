// Draws every picture of the program into a res/ folder and writes pictures.qrc beside them:
//   skin-painter <res folder> [--preview sheet.png]
// The output is committed; run it again after changing a picture here. The preview is a
// contact sheet for reviewing a change and is not committed.

#include "PictureSet.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

namespace {

// The program icon: the largest size under the plain id, every size under "128-<size>".
void addProgramIconAlias(PictureSet& set)
{
    for (const Picture& picture : std::as_const(set)) {
        if (picture.alias == QLatin1String("icons/128-256")) {
            set << Picture{QStringLiteral("icons/128"), picture.file, QImage()};
            return;
        }
    }
}

bool writeAll(const PictureSet& set, const QDir& out)
{
    for (const Picture& picture : set) {
        if (picture.image.isNull())
            continue;
        const QString path = out.filePath(picture.file);
        QDir().mkpath(QFileInfo(path).path());
        if (!picture.image.save(path, "PNG", 100)) {
            std::fprintf(stderr, "skin-painter: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    QFile qrc(out.filePath(QStringLiteral("pictures.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream stream(&qrc);
    stream << "<!-- Written by tools/skin-painter: every picture by its resource id. -->\n";
    stream << "<RCC>\n    <qresource prefix=\"/\">\n";
    for (const Picture& picture : set)
        stream << "        <file alias=\"" << picture.alias << "\">" << picture.file << "</file>\n";
    stream << "    </qresource>\n</RCC>\n";
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2 && !(args.size() == 4 && args[2] == QLatin1String("--preview"))) {
        std::fprintf(stderr, "usage: skin-painter <res folder> [--preview sheet.png]\n");
        return 2;
    }
    PictureSet set;
    addWindowPictures(set);
    addButtonPictures(set);
    addIconPictures(set);
    addProgramIconAlias(set);
    if (!writeAll(set, QDir(args[1])))
        return 1;
    if (args.size() == 4 && !previewSheet(set).save(args[3]))
        return 1;
    std::printf("skin-painter: %lld pictures written\n", static_cast<long long>(set.size()));
    return 0;
}
