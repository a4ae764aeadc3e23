// qor_manual <source.md> <document>: builds the user manual's RTF document from its source.
#include "ManualRtf.h"
#include "platform/FileSystem.h"
#include "platform/QorError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: qor_manual <source.md> <document>\n");
        return 2;
    }
    try {
        const QString source = QString::fromUtf8(FileSystem::readWhole(args.at(1)));
        const QDir sourceFolder = QFileInfo(args.at(1)).dir();
        FileSystem::writeWhole(args.at(2), ManualToRtf(source, [&](const QString &file) {
                                   return FileSystem::readWhole(sourceFolder.filePath(file));
                               }));
    } catch (const QorError &e) {
        std::fprintf(stderr, "qor_manual: %s: %s\n", qPrintable(args.at(1)),
                     e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
